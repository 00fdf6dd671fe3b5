<?xml version="1.0" encoding="UTF-8"?>
<osgb:FeatureCollection fid="GDS-worked-example">
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb6000000000000001">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>1,0 1,10</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb6000000000000002">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>2,0 2,10</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb6000000000000003">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>3,0 3,10</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb6000000000000004">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>4,0 4,10</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb6000000000000005">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>5,0 5,10</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb6000000000000006">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Local Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>6,0 6,10</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb6000000000000077">
      <osgb:version>3</osgb:version>
      <osgb:descriptiveGroup>A Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>A Road</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Dual Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>100,0 200,0</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" gradeSeparation="0" xlink:href="#osgb6000000000000901"/>
      <osgb:directedNode orientation="+" gradeSeparation="1" xlink:href="#osgb6000000000000902"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:roadMember>
    <osgb:Road fid="osgb6000000000000101">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveTerm>Primary Route</osgb:descriptiveTerm>
      <osgb:roadName>N</osgb:roadName>
      <osgb:roadName>A1</osgb:roadName>
      <osgb:networkMember xlink:href="#osgb6000000000000077"/>
    </osgb:Road>
  </osgb:roadMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb6000000000000201">
      <osgb:version>1</osgb:version>
      <osgb:instruction>One Way</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb6000000000000077"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
</osgb:FeatureCollection>
