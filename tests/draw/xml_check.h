#pragma once

// A small well-formedness check of XML documents as the SVG draw area writes them: one
// declaration, then a single svg root of elements whose tags nest and close in order, attribute
// values in double quotes, character data without '<', '>' or a bare '&' (only the five named
// entities and numeric references), and no control characters. Counts the elements by name.

#include <map>
#include <regex>
#include <string>
#include <vector>

namespace draw_test {

struct XmlCheck {
    bool wellFormed = false;
    std::string problem;
    std::map<std::string, int> elements;     // name -> count
};

// Character data or an attribute value.
inline bool IsCleanText(const std::string& text) {
    static const std::regex clean(
        R"(([^<>&\x00-\x08\x0B\x0C\x0E-\x1F]|&(amp|lt|gt|quot|apos|#[0-9]+);)*)");
    return std::regex_match(text, clean);
}

inline XmlCheck CheckXml(const std::string& xml) {
    static const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    static const std::regex tag(R"(<(/?)([A-Za-z][\w-]*)((?:\s+[\w:-]+="[^"]*")*)\s*(/?)>)");
    XmlCheck result;
    if (xml.compare(0, kDeclaration.size(), kDeclaration) != 0)
        return result.problem = "no declaration", result;
    std::vector<std::string> open;
    auto at = xml.cbegin() + kDeclaration.size();
    for (std::smatch m; std::regex_search(at, xml.cend(), m, tag); at = m[0].second) {
        const std::string name = m[2], attributes = m[3];
        if (!IsCleanText(m.prefix()) || !IsCleanText(attributes))
            return result.problem = "bad text before or in <" + name + ">", result;
        if (m[1].length() != 0) {
            if (open.empty() || open.back() != name)
                return result.problem = "mismatched </" + name + ">", result;
            open.pop_back();
            continue;
        }
        if (open.empty() && result.elements.count("svg") != 0)
            return result.problem = "second root", result;
        ++result.elements[name];
        if (m[4].length() == 0) open.push_back(name);
    }
    if (!IsCleanText(std::string(at, xml.cend())) || !open.empty())
        return result.problem = "unclosed element or text after the root", result;
    result.wellFormed = result.elements.count("svg") == 1;
    if (!result.wellFormed) result.problem = "no single svg root";
    return result;
}

}  // namespace draw_test
