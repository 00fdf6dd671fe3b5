<?xml version="1.0" encoding="UTF-8"?>
<osgb:FeatureCollection xmlns:osgb="http://www.ordnancesurvey.co.uk/xml/namespaces/osgb" xmlns:gml="http://www.opengis.net/gml" xmlns:xlink="http://www.w3.org/1999/xlink" fid="GDS-paths-1">
  <gml:description>Hand-made urban paths, first file: paths north of road R1</gml:description>
  <osgb:networkMember>
    <osgb:PathLink fid="osgb4000000000000002">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Path</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString><gml:coordinates>50,50 100,60
150,50</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4100000000000001"/>
      <osgb:directedNode orientation="+" gradeSeparation="1" xlink:href="#osgb4100000000000002"/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid="osgb4000000000000001">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Footbridge</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString><gml:coordinates>-50,50 50,50</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" gradeSeparation="1" xlink:href="#osgb4100000000000003"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4100000000000001"/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid="osgb4100000000000001">
      <osgb:point><gml:Point><gml:coordinates>50,50</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid="osgb4100000000000002">
      <osgb:point><gml:Point><gml:coordinates>150,50</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid="osgb4100000000000003">
      <osgb:point><gml:Point><gml:coordinates>-50,50</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <!-- On R1, between its first two vertices -->
  <osgb:networkMember>
    <osgb:ConnectingNode fid="osgb4200000000000001">
      <osgb:referenceToITN xlink:href="#osgb5000000000000001"/>
      <osgb:point><gml:Point><gml:coordinates>50,0</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid="osgb4400000000000001">
      <osgb:directedNode orientation="-" xlink:href="#osgb4100000000000001"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4200000000000001"/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <!-- Its end lies in the second file -->
  <osgb:networkMember>
    <osgb:ConnectingLink fid="osgb4400000000000002">
      <osgb:directedNode orientation="-" xlink:href="#osgb4100000000000002"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4200000000000002"/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:pathInformationMember>
    <osgb:PathLinkInformation fid="osgb4300000000000001">
      <osgb:referenceToPathLink xlink:href="#osgb4000000000000002"/>
      <osgb:environmentQualifier><osgb:classification>Alley</osgb:classification></osgb:environmentQualifier>
    </osgb:PathLinkInformation>
  </osgb:pathInformationMember>
</osgb:FeatureCollection>
