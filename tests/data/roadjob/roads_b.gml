<?xml version="1.0" encoding="UTF-8"?>
<osgb:FeatureCollection xmlns:osgb="http://www.ordnancesurvey.co.uk/xml/namespaces/osgb" xmlns:gml="http://www.opengis.net/gml" xmlns:xlink="http://www.w3.org/1999/xlink" fid="GDS-58096-2">
  <gml:description>Hand-made road tile B, a change-only update overlapping tile A</gml:description>
  <osgb:departedMember>
    <osgb:DepartedFeature fid="osgb4000000000000013">
      <osgb:theme>Road Network</osgb:theme>
      <osgb:reasonForDeparture>Deleted</osgb:reasonForDeparture>
    </osgb:DepartedFeature>
  </osgb:departedMember>
  <osgb:departedMember>
    <osgb:DepartedFeature fid="osgb4000000000000308">
      <osgb:reasonForDeparture>Deleted</osgb:reasonForDeparture>
    </osgb:DepartedFeature>
  </osgb:departedMember>
  <!-- L0 again, same version: written once, from tile A -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000010">
      <osgb:version>3</osgb:version>
      <osgb:descriptiveGroup>A Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>A Road</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Dual Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>9,9 8,8</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L1, current version -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000011">
      <osgb:version>2</osgb:version>
      <osgb:descriptiveGroup>B Road</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>B Road</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Dual Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>437200,115000 437250.5,114950.125</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation="-" xlink:href="#osgb4000000000000902"/>
      <osgb:directedNode orientation="+" gradeSeparation="0" xlink:href="#osgb4000000000000907"/>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- An old version of L2: the road after it still names its links -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000012">
      <osgb:version>0</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Alley</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString><gml:coordinates>3,3 4,4</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:roadMember>
    <osgb:Road fid="osgb4000000000000105">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Named Road</osgb:descriptiveGroup>
      <osgb:roadName>Mill Lane</osgb:roadName>
      <osgb:networkMember xlink:href="#osgb4000000000000017"/>
    </osgb:Road>
  </osgb:roadMember>
  <!-- L7: a closed link of four points -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000017">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Private Road - Publicly Accessible</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>437600,115600 437620,115600 437610,115620 437600,115600</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L8: pedestrianised street -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000018">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Pedestrianised Street</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Single Carriageway</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>437700,115700 437710,115710</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L9: a motorway slip road -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000019">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Motorway</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Motorway</osgb:descriptiveTerm>
      <osgb:natureOfRoad>Slip Road</osgb:natureOfRoad>
      <osgb:polyline><gml:LineString><gml:coordinates>437800,115800 437810,115810 437820,115815</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <!-- L10: no descriptive term -->
  <osgb:networkMember>
    <osgb:RoadLink fid="osgb4000000000000020">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Road Topology</osgb:descriptiveGroup>
      <osgb:polyline><gml:LineString><gml:coordinates>437850,115850 437860,115860</gml:coordinates></gml:LineString></osgb:polyline>
    </osgb:RoadLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:FerryNode fid="osgb4000000000000952">
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Ferry Node</osgb:descriptiveGroup>
      <osgb:point><gml:Point><gml:coordinates>438000,116000</gml:coordinates></gml:Point></osgb:point>
    </osgb:FerryNode>
  </osgb:networkMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb4000000000000206">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Mandatory Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000014"/>
      <osgb:directedLink orientation="-" xlink:href="#osgb4000000000000011"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadRouteInformation fid="osgb4000000000000207">
      <osgb:version>1</osgb:version>
      <osgb:instruction>No Turn</osgb:instruction>
      <osgb:directedLink orientation="+" xlink:href="#osgb4000000000000019"/>
    </osgb:RoadRouteInformation>
  </osgb:roadInformationMember>
  <osgb:roadInformationMember>
    <osgb:RoadLinkInformation fid="osgb4000000000000308">
      <osgb:version>1</osgb:version>
      <osgb:instruction>Access Prohibited To</osgb:instruction>
      <osgb:vehicleQualifier><osgb:type exceptFor="false">Coaches</osgb:type></osgb:vehicleQualifier>
      <osgb:referenceToRoadLink xlink:href="#osgb4000000000000014"/>
    </osgb:RoadLinkInformation>
  </osgb:roadInformationMember>
</osgb:FeatureCollection>
