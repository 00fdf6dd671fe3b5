#!/usr/bin/env python3
"""Checks gen_itn: well-formed GML with the structure the road job and the urban converter read,
every kind of record present, references that resolve, geometry that fits together,
deterministic output, gzip output equal to plain output, and safe handling of existing files.

Usage: check_gen_itn.py PATH/TO/gen_itn
"""
import gzip
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

NS = {
    "osgb": "http://www.ordnancesurvey.co.uk/xml/namespaces/osgb",
    "gml": "http://www.opengis.net/gml",
    "xlink": "http://www.w3.org/1999/xlink",
}
FID = re.compile(r"^osgb\d{16}$")
HREF = re.compile(r"^#osgb\d{16}$")
HREF_ATTR = "{%s}href" % NS["xlink"]
HEADER_ELEMENTS = {"gml:description", "gml:boundedBy", "osgb:queryTime", "osgb:queryExtent"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def qname(tag):
    """'{uri}Local' as 'prefix:Local'."""
    uri, local = tag[1:].split("}")
    return next(p for p, u in NS.items() if u == uri) + ":" + local


def run(gen, *args, expect=0):
    proc = subprocess.run([gen, *args], capture_output=True, text=True)
    check(proc.returncode == expect,
          f"gen_itn {' '.join(args)}: exit {proc.returncode}, expected {expect}; stderr: {proc.stderr.strip()}")
    return proc


def points(text):
    return [tuple(float(v) for v in pair.split(",")) for pair in text.split()]


def near_segment(p, a, b):
    (px, py), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


class Dataset:
    """Every feature of a set of generated files, by kind, with its file and raw element."""

    def __init__(self, files):
        self.features = {}  # kind -> list of (file, element)
        self.by_fid = {}    # fid -> list of (kind, file, element)
        self.departed = set()
        for path in files:
            self.read(path)

    def read(self, path):
        raw = open(path, "rb").read()
        if path.endswith(".gz"):
            raw = gzip.decompress(raw)
        text = raw.decode("utf-8")
        for prefix in NS:
            check(f"xmlns:{prefix}='{NS[prefix]}'" in text, f"{path}: no namespace declaration for {prefix}")
        try:
            root = ET.fromstring(raw)
        except ET.ParseError as e:
            check(False, f"{path}: not well-formed XML: {e}")
            return
        check(qname(root.tag) == "osgb:FeatureCollection", f"{path}: root is {root.tag}")
        for member in root:
            name = qname(member.tag)
            if name in HEADER_ELEMENTS:
                continue
            check(name.endswith("Member"), f"{path}: unexpected element {name} at depth 1")
            check(len(member) == 1, f"{path}: {name} holds {len(member)} elements, not one feature")
            feature = member[0]
            kind = qname(feature.tag)
            fid = feature.get("fid", "")
            check(FID.match(fid) is not None, f"{path}: {kind} fid {fid!r}")
            if kind == "osgb:DepartedFeature":
                check(name == "osgb:departedMember", f"{path}: departed feature in {name}")
                self.departed.add(fid)
            else:
                check(len(feature) > 0 and qname(feature[0].tag) == "osgb:version",
                      f"{path}: {kind} {fid} does not start with its version")
            self.features.setdefault(kind, []).append((path, feature))
            self.by_fid.setdefault(fid, []).append((kind, path, feature))
            for element in feature.iter():
                href = element.get(HREF_ATTR)
                if href is not None:
                    check(HREF.match(href) is not None, f"{path}: href {href!r} in {kind} {fid}")

    def kinds(self, kind):
        return self.features.get(kind, [])

    def current(self, fid):
        """The element of a fid with the highest version."""
        entries = [e for e in self.by_fid.get(fid, []) if e[0] != "osgb:DepartedFeature"]
        return max(entries, key=lambda e: int(e[2].find("osgb:version", NS).text))[2] if entries else None

    def target(self, href, kinds):
        entries = [e for e in self.by_fid.get(href[1:], []) if e[0] in kinds]
        return entries[0][2] if entries else None


def children(feature):
    return [(qname(c.tag), c) for c in feature]


def link_points(feature):
    return points(feature.find("osgb:polyline/gml:LineString/gml:coordinates", NS).text)


def node_point(feature):
    return points(feature.find("osgb:point/gml:Point/gml:coordinates", NS).text)[0]


def check_roads(data, fixture):
    """Structure and references of the roads layer; returns the kinds of record seen."""
    seen = set()
    for path, link in data.kinds("osgb:RoadLink"):
        fid = link.get("fid")
        pts = link_points(link)
        check(2 <= len(pts) <= 30, f"{fid}: {len(pts)} points")
        if pts[0] == pts[-1]:
            seen.add("closed loop link")
        group = link.find("osgb:descriptiveGroup", NS).text
        term = link.find("osgb:descriptiveTerm", NS).text
        if group != "Road Topology":
            seen.add("descriptive group naming the road class")
        for node in link.findall("osgb:directedNode", NS):
            if node.get("gradeSeparation") is not None:
                seen.add("grade separation")
            target = data.target(node.get(HREF_ATTR), {"osgb:RoadNode"})
            if check(target is not None, f"{fid}: directed node {node.get(HREF_ATTR)} missing"):
                end = pts[0] if node.get("orientation") == "-" else pts[-1]
                check(node_point(target) == end, f"{fid}: node {node.get('orientation')} is not at the link's end")
        check(term is not None, f"{fid}: no descriptive term")
    for fid, entries in data.by_fid.items():
        versions = {int(e[2].find("osgb:version", NS).text) for e in entries if e[0] != "osgb:DepartedFeature"}
        files = {e[1] for e in entries if e[0] != "osgb:DepartedFeature"}
        if len(files) > 1:
            seen.add("feature in two files, " + ("same version" if len(versions) == 1 else "different versions"))
    links = {f.get("fid") for _, f in data.kinds("osgb:RoadLink")}
    if data.departed & links:
        seen.add("departed road link")

    for path, road in data.kinds("osgb:Road"):
        names = [qname(c.tag) for c in road]
        first_member = names.index("osgb:networkMember")
        check(all(n not in ("osgb:roadName", "osgb:descriptiveTerm") for n in names[first_member:]),
              f"{road.get('fid')}: names or terms after the network members")
        for term in road.findall("osgb:descriptiveTerm", NS):
            if term.text in ("Primary Route", "Trunk Road"):
                seen.add(term.text)
        for name in road.findall("osgb:roadName", NS):
            seen.add("road number" if re.search(r"\d", name.text[1:]) else "road name")
        for member in road.findall("osgb:networkMember", NS):
            check(data.target(member.get(HREF_ATTR), {"osgb:RoadLink"}) is not None,
                  f"{road.get('fid')}: member {member.get(HREF_ATTR)} is no road link")

    for path, info in data.kinds("osgb:RoadRouteInformation"):
        fid = info.get("fid")
        names = [qname(c.tag) for c in info]
        instruction = info.find("osgb:instruction", NS).text
        check(names.index("osgb:instruction") < names.index("osgb:directedLink"),
              f"{fid}: instruction after the directed links")
        refs = [d.get(HREF_ATTR) for d in info.findall("osgb:directedLink", NS)]
        targets = [data.target(r, {"osgb:RoadLink"}) for r in refs]
        if not check(all(t is not None for t in targets), f"{fid}: directed link missing"):
            continue
        seen.add(f"{instruction} through {len(refs)} links" if instruction != "One Way" else "One Way")
        for a, b in zip(targets, targets[1:]):
            pa, pb = link_points(a), link_points(b)
            check({pa[0], pa[-1]} & {pb[0], pb[-1]}, f"{fid}: consecutive links do not meet")

    for path, info in data.kinds("osgb:RoadLinkInformation"):
        fid = info.get("fid")
        names = [qname(c.tag) for c in info]
        first_ref = names.index("osgb:referenceToRoadLink")
        check(all(n in ("osgb:referenceToRoadLink",) for n in names[first_ref:]),
              f"{fid}: elements after the road link references")
        instruction = info.find("osgb:instruction", NS)
        if instruction is not None:
            seen.add(instruction.text)
        for qualifier in info.findall("osgb:vehicleQualifier", NS):
            for element in qualifier:  # depth 4: collection, member, feature, qualifier, this
                name = qname(element.tag)
                if name in ("osgb:use", "osgb:type"):
                    check(element.get("exceptFor") in ("true", "false"), f"{fid}: exceptFor {element.get('exceptFor')}")
                    seen.add(f"{name} exceptFor {element.get('exceptFor')}")
                    check(instruction is not None and instruction.text.startswith("Access"),
                          f"{fid}: vehicle qualifier without an access instruction")
                else:
                    seen.add({"osgb:feet": "height in feet", "osgb:inches": "height in feet",
                              "osgb:maxheight": "height in metres"}.get(name, name))
        for ref in info.findall("osgb:referenceToRoadLink", NS):
            target = data.target(ref.get(HREF_ATTR), {"osgb:RoadLink", "osgb:FerryLink"})
            check(target is not None, f"{fid}: reference {ref.get(HREF_ATTR)} missing")
            if target is not None and qname(target.tag) == "osgb:FerryLink":
                seen.add("information on a ferry link")
    if data.departed & {f.get("fid") for _, f in data.kinds("osgb:RoadLinkInformation")}:
        seen.add("departed road link information")

    for path, ferry in data.kinds("osgb:FerryLink"):
        seen.add("ferry link")
        for node in ferry.findall("osgb:directedNode", NS):
            check(data.target(node.get(HREF_ATTR), {"osgb:FerryNode"}) is not None,
                  f"{ferry.get('fid')}: ferry node missing")
    return seen


def check_urban(data, roads):
    seen = set()
    for path, link in data.kinds("osgb:PathLink"):
        seen.add("path link")
        if link.find("osgb:descriptiveTerm", NS) is None:
            seen.add("path link without term")
        for node in link.findall("osgb:directedNode", NS):
            check(data.target(node.get(HREF_ATTR), {"osgb:PathNode"}) is not None,
                  f"{link.get('fid')}: path node missing")
    for path, node in data.kinds("osgb:ConnectingNode"):
        seen.add("connecting node")
        href = node.find("osgb:referenceToITN", NS).get(HREF_ATTR)
        link = roads.current(href[1:])
        if check(link is not None and href[1:] not in roads.departed, f"{node.get('fid')}: road link {href} missing"):
            pts, p = link_points(link), node_point(node)
            distance = min(near_segment(p, a, b) for a, b in zip(pts, pts[1:]))
            check(distance < 0.02, f"{node.get('fid')}: {distance:.3f} m off road link {href}")
            if p in (pts[0], pts[-1]):
                seen.add("connecting node at a link end")
    for path, link in data.kinds("osgb:ConnectingLink"):
        seen.add("connecting link")
        for node in link.findall("osgb:directedNode", NS):
            check(data.target(node.get(HREF_ATTR), {"osgb:PathNode", "osgb:ConnectingNode"}) is not None,
                  f"{link.get('fid')}: end node missing")
    for path, info in data.kinds("osgb:PathLinkInformation"):
        if info.find("osgb:environmentQualifier/osgb:classification", NS) is not None:
            seen.add("path classification")
        ref = info.find("osgb:referenceToPathLink", NS).get(HREF_ATTR)
        check(data.target(ref, {"osgb:PathLink"}) is not None, f"{info.get('fid')}: path link {ref} missing")
    if data.departed:
        seen.add("departed urban feature")
    return seen


def dataset_files(folder):
    names = sorted(n for n in os.listdir(folder) if n.endswith((".gml", ".gz")))
    return ([os.path.join(folder, n) for n in names if n.startswith("roads_")],
            [os.path.join(folder, n) for n in names if n.startswith("urban_")])


def read_tree(folder):
    result = {}
    for name in sorted(os.listdir(folder)):
        raw = open(os.path.join(folder, name), "rb").read()
        result[name] = gzip.decompress(raw) if name.endswith(".gz") else raw
    return result


EXPECTED_ROADS = {
    "closed loop link", "grade separation", "descriptive group naming the road class",
    "feature in two files, same version", "feature in two files, different versions", "departed road link",
    "Primary Route", "Trunk Road", "road name", "road number", "One Way", "No Turn through 2 links",
    "No Turn through 3 links", "Mandatory Turn through 2 links", "Mandatory Turn through 3 links",
    "Access Prohibited To", "Access Limited To", "osgb:use exceptFor false", "osgb:type exceptFor false",
    "osgb:use exceptFor true", "osgb:type exceptFor true", "height in feet", "height in metres",
    "information on a ferry link", "departed road link information", "ferry link",
}
EXPECTED_URBAN = {
    "path link", "path link without term", "connecting node", "connecting link", "path classification",
    "departed urban feature",
}


def check_dataset(folder, label, expect_every_kind):
    roads_files, urban_files = dataset_files(folder)
    roads = Dataset(roads_files)
    seen = check_roads(roads, expect_every_kind)
    urban_seen = check_urban(Dataset(urban_files), roads) if urban_files else set()
    if expect_every_kind:
        check(not EXPECTED_ROADS - seen, f"{label}: roads layer lacks {sorted(EXPECTED_ROADS - seen)}")
        check(not EXPECTED_URBAN - urban_seen, f"{label}: urban layer lacks {sorted(EXPECTED_URBAN - urban_seen)}")
    return roads


def main():
    gen = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="gen-itn-check-")
    try:
        fixture = os.path.join(work, "fixture")
        run(gen, "--fixture", "--out", fixture)
        check_dataset(fixture, "fixture", expect_every_kind=True)

        # Compact output of a bigger set, written in parallel: the same checks, and the summary.
        bigger = os.path.join(work, "bigger")
        summary = run(gen, "--links", "6000", "--files", "3", "--urban", "800", "--jobs", "2",
                      "--seed", "7", "--out", bigger).stdout
        roads = check_dataset(bigger, "bigger", expect_every_kind=False)
        counts = dict(line.split(" ", 1) for line in summary.splitlines() if not line.startswith("file "))
        links = {f.get("fid") for _, f in roads.kinds("osgb:RoadLink")}
        check(int(counts["road_links"]) == len(links) == 6000, f"bigger: {len(links)} distinct road links")
        check(int(counts["road_links_current"]) == len(links - roads.departed), "bigger: current road link count")
        size = sum(os.path.getsize(p) for p in dataset_files(bigger)[0])
        check(1200 <= size / 6000 <= 1650, f"bigger: {size / 6000:.0f} bytes of roads layer per road link")

        # Same options, same bytes, whatever the number of jobs; another seed, other data.
        again = os.path.join(work, "again")
        run(gen, "--links", "6000", "--files", "3", "--urban", "800", "--jobs", "1", "--seed", "7", "--out", again)
        check(read_tree(bigger) == read_tree(again), "same options gave different files")
        other = os.path.join(work, "other")
        run(gen, "--fixture", "--seed", "2", "--out", other)
        check(read_tree(other) != read_tree(fixture), "another seed gave the same files")

        # gzip output expands to the plain output.
        zipped = os.path.join(work, "zipped")
        run(gen, "--fixture", "--gzip", "--out", zipped)
        plain = read_tree(fixture)
        check(read_tree(zipped) == {n[:-4] + ".gz": d for n, d in plain.items()}, "gzip output differs from plain")

        # Existing files are never overwritten unless asked.
        target = os.path.join(fixture, "roads_0001.gml")
        with open(target, "wb") as f:
            f.write(b"user data")
        refused = run(gen, "--fixture", "--out", fixture, expect=1)
        check("exists already" in refused.stderr and target in refused.stderr, f"refusal text: {refused.stderr!r}")
        check(open(target, "rb").read() == b"user data", "an existing file was overwritten")
        run(gen, "--fixture", "--force", "--out", fixture)
        check(read_tree(fixture) == plain, "--force did not rewrite the files")
        usage = run(gen, "--links", "many", expect=2)
        check("--links" in usage.stderr, f"usage error text: {usage.stderr!r}")

        # GDAL reads the layers (it writes .gfs files next to what it reads, so use a copy).
        if shutil.which("ogrinfo"):
            copy = os.path.join(work, "ogr")
            shutil.copytree(fixture, copy)
            for name, layers in (("roads_0001.gml", ("RoadLink", "RoadNode", "Road", "RoadLinkInformation")),
                                 ("urban_paths.gml", ("PathLink", "ConnectingNode"))):
                out = subprocess.run(["ogrinfo", "-ro", "-so", os.path.join(copy, name)],
                                     capture_output=True, text=True).stdout
                for layer in layers:
                    check(re.search(rf"^\d+: {layer} ", out, re.M) is not None, f"ogrinfo lists no {layer} in {name}")
    finally:
        shutil.rmtree(work, ignore_errors=True)

    for message in failures:
        print("FAIL:", message)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
