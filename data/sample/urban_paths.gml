<?xml version='1.0' encoding='UTF-8'?>
<osgb:FeatureCollection xmlns:osgb='http://www.ordnancesurvey.co.uk/xml/namespaces/osgb' xmlns:gml='http://www.opengis.net/gml' xmlns:xlink='http://www.w3.org/1999/xlink' fid='GDS-sample-urban'>
  <gml:description>Synthetic urban paths for the sample road files; not Ordnance Survey data</gml:description>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000000'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Path</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>80362.38,20135.67 80449.49,20251.41 80526.60,20357.16</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000000'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000091000000001'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000001'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Footbridge</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>80526.60,20357.16 80517.32,20417.62 80498.04,20468.07</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' gradeSeparation='1' xlink:href='#osgb4000091000000001'/>
      <osgb:directedNode orientation='+' gradeSeparation='1' xlink:href='#osgb4000091000000002'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000002'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Steps</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>80498.04,20468.07 80802.55,20511.13 81097.05,20544.19</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000002'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000091000000003'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000003'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Path</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>81097.05,20544.19 81077.19,20659.60 81047.33,20765.01</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000003'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000091000000004'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000004'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Track</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>81047.33,20765.01 81078.26,20879.07 81099.20,20983.12</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000004'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000091000000005'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000005'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Path</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>81099.20,20983.12 81203.93,21046.22 81298.65,21099.32</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000005'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000091000000006'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000006'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Footbridge</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>81298.65,21099.32 81260.82,21210.46 81212.98,21311.60</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' gradeSeparation='1' xlink:href='#osgb4000091000000006'/>
      <osgb:directedNode orientation='+' gradeSeparation='1' xlink:href='#osgb4000091000000007'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000007'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Steps</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>81212.98,21311.60 81336.29,21429.96 81449.59,21538.32</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000007'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000091000000008'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathLink fid='osgb4000090000000008'>
      <osgb:version>1</osgb:version>
      <osgb:descriptiveGroup>Path</osgb:descriptiveGroup>
      <osgb:descriptiveTerm>Path</osgb:descriptiveTerm>
      <osgb:polyline><gml:LineString srsName='osgb:BNG'><gml:coordinates>81449.59,21538.32 81522.85,21540.13 81586.10,21531.93</gml:coordinates></gml:LineString></osgb:polyline>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000008'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000091000000009'/>
    </osgb:PathLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000000'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>80362.38,20135.67</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000001'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>80526.60,20357.16</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000002'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>80498.04,20468.07</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000003'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81097.05,20544.19</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000004'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81047.33,20765.01</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000005'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81099.20,20983.12</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000006'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81298.65,21099.32</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000007'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81212.98,21311.60</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000008'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81449.59,21538.32</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:PathNode fid='osgb4000091000000009'>
      <osgb:version>1</osgb:version>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81586.10,21531.93</gml:coordinates></gml:Point></osgb:point>
    </osgb:PathNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000000'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000005'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>80342.87,20131.25</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000001'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000025'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>80507.26,20362.28</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000002'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000045'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>80517.95,20466.18</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000003'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000065'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81093.67,20563.90</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000004'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000085'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81066.33,20771.28</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000005'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000105'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81079.70,20987.58</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000006'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000125'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81296.57,21079.43</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000007'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000145'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81228.91,21299.50</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000008'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000165'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81429.60,21538.11</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingNode fid='osgb4000092000000009'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToITN xlink:href='#osgb4000010000000185'/>
      <osgb:point><gml:Point srsName='osgb:BNG'><gml:coordinates>81605.99,21533.99</gml:coordinates></gml:Point></osgb:point>
    </osgb:ConnectingNode>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000000'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000000'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000000'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000001'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000001'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000001'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000002'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000002'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000002'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000003'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000003'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000003'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000004'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000004'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000004'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000005'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000005'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000005'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000006'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000006'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000006'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000007'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000007'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000007'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000008'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000008'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000008'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:networkMember>
    <osgb:ConnectingLink fid='osgb4000093000000009'>
      <osgb:version>1</osgb:version>
      <osgb:directedNode orientation='-' xlink:href='#osgb4000091000000009'/>
      <osgb:directedNode orientation='+' xlink:href='#osgb4000092000000009'/>
    </osgb:ConnectingLink>
  </osgb:networkMember>
  <osgb:pathInformationMember>
    <osgb:PathLinkInformation fid='osgb4000094000000000'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToPathLink xlink:href='#osgb4000090000000000'/>
      <osgb:environmentQualifier><osgb:classification>Alley</osgb:classification></osgb:environmentQualifier>
    </osgb:PathLinkInformation>
  </osgb:pathInformationMember>
  <osgb:pathInformationMember>
    <osgb:PathLinkInformation fid='osgb4000094000000003'>
      <osgb:version>1</osgb:version>
      <osgb:referenceToPathLink xlink:href='#osgb4000090000000003'/>
      <osgb:environmentQualifier><osgb:classification>Pedestrianised Street</osgb:classification></osgb:environmentQualifier>
    </osgb:PathLinkInformation>
  </osgb:pathInformationMember>
</osgb:FeatureCollection>
