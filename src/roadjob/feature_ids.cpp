#include "roadjob/feature_ids.h"

#include "input/native_xml.h"

namespace itn {

std::string FidOf(const TXmlNode* Node) {
    if (Node == nullptr || !Node->HasAttribute("fid")) return std::string();
    return FidText(Node->AttributeByName("fid"));
}

std::string HrefOf(const TXmlNode* Node) {
    if (Node == nullptr || !Node->HasAttribute("xlink:href")) return std::string();
    return HrefText(Node->AttributeByName("xlink:href"));
}

}  // namespace itn
