<?xml version="1.0" encoding="UTF-8"?>
<osgb:FeatureCollection xmlns:osgb="http://www.ordnancesurvey.co.uk/xml/namespaces/osgb" xmlns:gml="http://www.opengis.net/gml" xmlns:xlink="http://www.w3.org/1999/xlink" fid="GDS-58096-1">
  <gml:description>Hand-made road tile A</gml:description>
  <osgb:queryTime>2012-05-01T10:00:00</osgb:queryTime>
  <gml:boundedBy><gml:Box><gml:coordinates>437000,115000 438000,116000</gml:coordinates></gml:Box></gml:boundedBy>
  <!-- L0: A road link of a primary route, one way with its digitised direction -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000010">
      <osgb:version>3</osgb:version>
      <osgb:versionDate>2010-10-01</osgb:versionDate>
      <osgb:theme>Road Network</osgb:theme>
      <osgb:descriptiveGroup>A Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>A Road</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Dual Carriageway</osgb:natureOfRoad>
      <osgb:length>200</osgb:length>
      <osgb:polyline><gml:LineString><gml:coordinates>437000,115000 437100,115000
        437200,115000</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000901"/>
      <osgb:directedNode orientation="+" gradeSeparation="1" xlink:href="#osgb4000000000000902"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L1, an old version: the current one (version 2) is in tile B -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000011">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>B Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>B Road</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>1,1 2,2</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" gradeSeparation="2" xlink:href="#osgb4000000000000902"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000903"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L2 follows a superseded link: it has no nature of road and no grade separation of its own -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000012">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>A Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Minor Road</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString><gml:coordinates>437200,115000 437200,115100</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000902"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000904"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L3: departed in tile B -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000013">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>5,5 6,6</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L4: trunk road in one road, primary A road in another -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000014">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>A Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>A Road</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>437200,115100 437300,115100</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" gradeSeparation="0" xlink:href="#osgb4000000000000904"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000905"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L5: a term outside the vocabulary -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000015">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Track</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>437300,115100 437400,115100</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L6: a closed link of five points -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000016">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Roundabout</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>437500,115500 437510,115500 437510,115510 437500,115510 437500,115500</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" gradeSeparation="1" xlink:href="#osgb4000000000000906"/>
      <osgb:directedNode orientation="+" gradeSeparation="1" xlink:href="#osgb4000000000000906"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadNode fid="osgb4000000000000901">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:point><gml:Point><gml:coordinates>437000,115000</gml:coordinates></gml:Point></osgb:point>
    </osgb:RoadNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:FerryNode fid="osgb4000000000000951">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Ferry Node</osgb:descriptiveGroup>
      <osgb:point><gml:Point><gml:coordinates>437900.5,115900.25</gml:coordinates></gml:Point></osgb:point>
    </osgb:FerryNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:FerryLink fid="osgb4000000000000962">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Ferry Connection</osgb:descriptiveGroup>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000952"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000951"/>
    </osgb:FerryLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:FerryLink fid="osgb4000000000000961">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Ferry Connection</osgb:descriptiveGroup>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000951"/>
      <osgb:directedNode orientation="+" xlink:href="#osgb4000000000000959"/>
    </osgb:FerryLink>
  </osgb:networkMember>
  <!-- Roads -->
  <osgb:roadMember>
    <osgb:Road fid="osgb4000000000000101">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Named Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>A Road</osgb:descriptiveTerm>
      <osgb:descriptiveTerm>Primary Route</osgb:descriptiveTerm>
      <osgb:roadName>High Street</osgb:roadName>
      <osgb:roadName>A1</osgb:roadName>
      <osgb:networkMember xlink:href="#osgb4000000000000010"/>
      <osgb:networkMember xlink:href="#osgb4000000000000014"/>
    </osgb:Road>
  </osgb:roadMember>
  <osgb:roadMember>
    <osgb:Road fid="osgb4000000000000102">
      <osgb:version>2</osgb:version>
      <osgb:descriptiveGroup>Named Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Trunk Road</osgb:descriptiveTerm>
      <osgb:roadName>1st Avenue</osgb:roadName>
      <osgb:roadName>a1</osgb:roadName>
      <osgb:networkMember xlink:href="#osgb4000000000000014"/>
    </osgb:Road>
  </osgb:roadMember>
  <!-- An old version of a road (version 2 is current): it names nothing -->
  <osgb:roadMember>
    <osgb:Road fid="osgb4000000000000103">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Named Road</osgb:descriptiveGroup>
      <osgb:roadName>Old Name</osgb:roadName>
      <osgb:networkMember xlink:href="#osgb4000000000000012"/>
    </osgb:Road>
  </osgb:roadMember>
  <osgb:roadMember>
    <osgb:Road fid="osgb4000000000000104">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Named Road</osgb:descriptiveGroup>
      <osgb:roadName>HIGH STREET</osgb:roadName>
      <osgb:roadName>B1234</osgb:roadName>
      <osgb:networkMember xlink:href="#osgb4000000000000012"/>
    </osgb:Road>
  </osgb:roadMember>
  <!-- Road route information -->
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb4000000000000201">
      <osgb:version>1</osgb:version>
      <osgb:instruction>One Way</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000010"/>
      <osgb:directedLink orientation="-" xlink:href="#osgb4000000000000014"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb4000000000000202">
      <osgb:version>1</osgb:version>
      <osgb:instruction>One Way</osgb:instruction>
      <osgb:directedLink orientation="-" xlink:href="#osgb4000000000000010"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb4000000000000203">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:vehicleQualifier><osgb:type exceptFor="true">Buses</osgb:type></osgb:vehicleQualifier>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000010"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000012"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb4000000000000204">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000010"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000012"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000014"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb4000000000000205">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Mandatory Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000012"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000014"/>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000015"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <!-- Road link information: heights and vehicle restrictions -->
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000301">
      <osgb:version>1</osgb:version>
      <osgb:classification>Bridge Over Road</osgb:classification>
      <osgb:heightRestriction><osgb:feet>14</osgb:feet><osgb:inches>6</osgb:inches></osgb:heightRestriction>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000010"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000302">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Access Prohibited To</osgb:instruction>
      <osgb:vehicleQualifier><osgb:type exceptFor="false">buses</osgb:type></osgb:vehicleQualifier>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000010"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000303">
      <osgb:version>1</osgb:version>
      <osgb:classification>Bridge Over Road</osgb:classification>
      <osgb:maxheight>4.0</osgb:maxheight>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000010"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000304">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Access Limited To</osgb:instruction>
      <osgb:vehicleQualifier><osgb:type exceptFor="false">Buses</osgb:type></osgb:vehicleQualifier>
      <osgb:maxheight>4.4</osgb:maxheight>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000014"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000305">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Access Prohibited To</osgb:instruction>
      <osgb:vehicleQualifier><osgb:type exceptFor="false">Buses</osgb:type></osgb:vehicleQualifier>
      <osgb:maxheight>4.125</osgb:maxheight>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000015"/>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000962"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000306">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Access Prohibited To</osgb:instruction>
      <osgb:vehicleQualifier><osgb:type exceptFor="false">Coaches</osgb:type></osgb:vehicleQualifier>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000015"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000307">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Access Prohibited To</osgb:instruction>
      <osgb:vehicleQualifier><osgb:use exceptFor="true">Access</osgb:use></osgb:vehicleQualifier>
      <osgb:vehicleQualifier><osgb:use exceptFor="false">Deliveries</osgb:use></osgb:vehicleQualifier>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000012"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
</osgb:FeatureCollection>
