<?xml version="1.0" encoding="UTF-8"?>
<osgb:FeatureCollection xmlns:osgb="http://www.ordnancesurvey.co.uk/xml/namespaces/osgb" xmlns:gml="http://www.opengis.net/gml" xmlns:xlink="http://www.w3.org/1999/xlink" fid="GDS-roads-with-paths">
  <gml:description>Hand-made road tile whose links urban paths join</gml:description>
  <!-- R1: two connecting nodes inside it, divided into three pieces -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000001">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>0,0 100,0 200,0</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" gradeSeparation="1" xlink:href="#osgb5100000000000001"/>
      <osgb:directedNode orientation="+" gradeSeparation="2" xlink:href="#osgb5100000000000002"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- R2: no path joins it -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000002">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>200,0 200,100</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb5100000000000002"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb5100000000000003"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- R3: a path joins it at its end vertex, which divides nothing -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000003">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>0,-100 0,0</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb5100000000000004"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb5100000000000001"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- Turns from and into the divided link R1, and a sequence through it -->
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb5200000000000001">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000001"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000002"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb5200000000000002">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Mandatory Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000003"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000001"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb5200000000000003">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000003"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000001"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000002"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
</osgb:FeatureCollection>
