// The check of an XML property list before libplist reads it: expat parses the whole text once
// (well-formed XML in valid UTF-8; it refuses character references to NUL), and the handlers
// below bound the nesting and the number of elements and refuse entity declarations and entities
// it would otherwise leave unread.
#include "platform/core/PlistCheck.h"

#include <expat.h>

#include <memory>

namespace vm::plist {

namespace {

struct XmlCheck {
    XML_Parser parser = nullptr;
    int depth = 0;
    std::size_t elements = 0;
    std::string why;

    void stop(std::string reason) {
        if (why.empty()) {
            why = std::move(reason);
        }
        XML_StopParser(parser, XML_FALSE);
    }
};

void XMLCALL startElement(void* user, const XML_Char*, const XML_Char**) {
    auto* check = static_cast<XmlCheck*>(user);
    if (++check->depth > kMaxDepth) {
        check->stop("nesting deeper than " + std::to_string(kMaxDepth) + " levels");
    } else if (++check->elements > 2 * kMaxValues) {
        check->stop("more than " + std::to_string(kMaxValues) + " values");
    }
}

void XMLCALL endElement(void* user, const XML_Char*) { --static_cast<XmlCheck*>(user)->depth; }

void XMLCALL entityDeclaration(void* user, const XML_Char*, int, const XML_Char*, int,
                               const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<XmlCheck*>(user)->stop("an entity declaration");
}

void XMLCALL skippedEntity(void* user, const XML_Char*, int) {
    static_cast<XmlCheck*>(user)->stop("an entity that is not defined");
}

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

}  // namespace

std::optional<std::string> whyXmlRefused(const std::string& bytes) {
    if (bytes.size() > kMaxBytes) {
        return "larger than " + std::to_string(kMaxBytes) + " bytes";
    }
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter> parser(
        XML_ParserCreate("UTF-8"));
    if (!parser) {
        return "no XML parser";
    }
    XmlCheck check;
    check.parser = parser.get();
    XML_SetUserData(parser.get(), &check);
    XML_SetElementHandler(parser.get(), startElement, endElement);
    XML_SetEntityDeclHandler(parser.get(), entityDeclaration);
    XML_SetSkippedEntityHandler(parser.get(), skippedEntity);
    const XML_Status status =
        XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE);
    if (!check.why.empty()) {
        return check.why;
    }
    if (status != XML_STATUS_OK) {
        return std::string("not well-formed XML: ") +
               XML_ErrorString(XML_GetErrorCode(parser.get()));
    }
    return std::nullopt;
}

}  // namespace vm::plist
