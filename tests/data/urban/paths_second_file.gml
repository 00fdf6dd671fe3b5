<?xml version="1.0" encoding="UTF-8"?>
<osgb:FeatureCollection xmlns:osgb="http://www.ordnancesurvey.co.uk/xml/namespaces/osgb" xmlns:gml="http://www.opengis.net/gml" xmlns:xlink="http://www.w3.org/1999/xlink" fid="GDS-paths-2">
  <gml:description>Hand-made urban paths, second file</gml:description>
  <!-- Departs a path link of the first file, which stays, and a connecting link of its own -->
  <osgb:departedMember>
    <osgb:DepartedFeature fid="osgb4000000000000001"><osgb:boundedBy/></osgb:DepartedFeature>
  </osgb:departedMember>
  <osgb:departedMember>
    <osgb:DepartedFeature fid="osgb4400000000000004"><osgb:boundedBy/></osgb:DepartedFeature>
  </osgb:departedMember>
  <!-- A second copy of a path link of the first file: skipped -->
  <osgb:networkMember>
    <osgb:PathLink fid="osgb4000000000000002">
      <osgb:version>2</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Steps</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString><gml:coordinates>0,0 1,1</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:PathLink>
  </osgb:networkMember>
  <!-- No coordinates: written without vertices -->
  <osgb:networkMember>
    <osgb:PathLink fid="osgb4000000000000003">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Path</osgb:descriptiveTerm>
    </osgb:PathLink>
  </osgb:networkMember>
  <!-- On R1, between its last two vertices -->
  <osgb:networkMember>
    <osgb:ConnectingNode fid="osgb4200000000000002">
      <osgb:referenceToITN xlink:href="#osgb5000000000000001"/>
      <osgb:point><gml:Point><gml:coordinates>150,0</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <!-- At the end vertex of R3 -->
  <osgb:networkMember>
    <osgb:ConnectingNode fid="osgb4200000000000003">
      <osgb:referenceToITN xlink:href="#osgb5000000000000003"/>
      <osgb:point><gml:Point><gml:coordinates>0,0</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid="osgb4400000000000003">
      <osgb:directedNode orientation="-" gradeSeparation="1" xlink:href="#osgb4100000000000003"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4200000000000003"/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid="osgb4400000000000004">
      <osgb:directedNode orientation="-" xlink:href="#osgb4100000000000001"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4200000000000003"/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <!-- One end in no file: thrown away -->
  <osgb:networkMember>
    <osgb:ConnectingLink fid="osgb4400000000000005">
      <osgb:directedNode orientation="-" xlink:href="#osgb4100000000000001"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4200000000000099"/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <!-- Only one end -->
  <osgb:networkMember>
    <osgb:ConnectingLink fid="osgb4400000000000006">
      <osgb:directedNode orientation="+" xlink:href="#osgb4100000000000002"/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
</osgb:FeatureCollection>
