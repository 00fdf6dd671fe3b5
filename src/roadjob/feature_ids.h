// TOIDs: the identifiers the road job keys its tables on, cut from "fid" and "xlink:href".
#pragma once

#include <string>
#include <string_view>

namespace itn {

class TXmlNode;

// Characters 5 to 20 of a fid ("osgb" and sixteen digits give the digits).
inline std::string FidText(std::string_view Fid) {
    return Fid.size() <= 4 ? std::string() : std::string(Fid.substr(4, 16));
}

// Characters 6 to 21 of a reference ("#osgb" and sixteen digits give the digits).
inline std::string HrefText(std::string_view Href) {
    return Href.size() <= 5 ? std::string() : std::string(Href.substr(5, 16));
}

// The TOID of a node's fid attribute; empty without a node or attribute.
std::string FidOf(const TXmlNode* Node);
// The TOID of a node's xlink:href attribute; empty without a node or attribute.
std::string HrefOf(const TXmlNode* Node);

}  // namespace itn
