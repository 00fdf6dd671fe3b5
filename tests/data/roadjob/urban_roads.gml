<?xml version="1.0" encoding="UTF-8"?>
<osgb:FeatureCollection fid="GDS-urban">
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000001">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>0,0 100,0 200,0</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" gradeSeparation="1" xlink:href="#osgb4000000000000900"/>
      <osgb:directedNode orientation="+" gradeSeparation="2" xlink:href="#osgb4000000000000900"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000002">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>200,0 200,100</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000900"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000900"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000003">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>0,50 100,50</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000900"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000900"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000004">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>0,200 1210,200</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000900"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000900"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb5000000000000005">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>200,100 300,100 300,200 200,100</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000900"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000900"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb5000000000000201">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000001"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000002"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb5000000000000202">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Mandatory Turn</osgb:instruction>
      <osgb:directedLink orientation="-" xlink:href="#osgb5000000000000002"/>
      <osgb:directedLink orientation="-" xlink:href="#osgb5000000000000001"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb5000000000000203">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000004"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000001"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000002"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb5000000000000204">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb5000000000000003"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb5000000000000301">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Access Limited To</osgb:instruction>
      <osgb:vehicleQualifier><osgb:use exceptFor="false">Access</osgb:use></osgb:vehicleQualifier>
      <osgb:referenceToRoadLink xlink:href="#osgb5000000000000002"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
  <osgb:roadMember>
    <osgb:Road fid="osgb5000000000000101">
      <osgb:version>1</osgb:version>
      <osgb:roadName>The "Crescent", Upper</osgb:roadName>
      <osgb:networkMember xlink:href="#osgb5000000000000003"/>
    </osgb:Road>
  </osgb:roadMember>
</osgb:FeatureCollection>
