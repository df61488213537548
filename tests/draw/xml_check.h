#pragma once

// A small well-formedness check of XML documents as the SVG draw area writes them: one
// declaration, then elements whose tags nest and close in order, attribute values in double
// quotes, character data without '<' or bare '&' (only the five named entities and numeric
// references), and no control characters. Counts the elements by name.

#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace draw_test {

struct XmlCheck {
    bool wellFormed = false;
    std::string problem;
    std::map<std::string, int> elements;     // name -> count
    std::map<std::string, std::string> ids;  // id attribute -> element name
};

inline bool IsValidReference(const std::string& text, size_t at, size_t& end) {
    end = text.find(';', at);
    if (end == std::string::npos) return false;
    std::string name = text.substr(at + 1, end - at - 1);
    static const char* const kNamed[] = {"amp", "lt", "gt", "quot", "apos"};
    for (const char* named : kNamed)
        if (name == named) return true;
    if (name.size() < 2 || name[0] != '#') return false;
    for (size_t i = 1; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

inline bool CheckText(const std::string& text, std::string& problem) {
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t end = 0;
        if (c < 0x20 && c != '\n' && c != '\t' && c != '\r')
            return problem = "control character", false;
        if (c == '&' && !IsValidReference(text, i, end)) return problem = "bare '&'", false;
        if (c == '>') return problem = "bare '>' in text", false;
    }
    return true;
}

// Parses the attributes of a start tag body (after the name); records an id attribute.
inline bool CheckAttributes(const std::string& body, const std::string& name, XmlCheck& result) {
    size_t i = 0;
    while (i < body.size()) {
        while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) ++i;
        if (i == body.size()) break;
        size_t eq = body.find('=', i);
        if (eq == std::string::npos || eq + 1 >= body.size() || body[eq + 1] != '"')
            return result.problem = "attribute without a quoted value in <" + name + ">", false;
        size_t close = body.find('"', eq + 2);
        if (close == std::string::npos) return result.problem = "unclosed attribute value", false;
        std::string attribute = body.substr(i, eq - i), value = body.substr(eq + 2, close - eq - 2);
        if (value.find('<') != std::string::npos || !CheckText(value, result.problem)) return false;
        if (attribute == "id") result.ids[value] = name;
        i = close + 1;
    }
    return true;
}

inline XmlCheck CheckXml(const std::string& xml) {
    XmlCheck result;
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (xml.compare(0, declaration.size(), declaration) != 0) {
        result.problem = "no declaration";
        return result;
    }
    std::vector<std::string> open;
    size_t i = declaration.size();
    while (i < xml.size()) {
        size_t lt = xml.find('<', i);
        if (!CheckText(xml.substr(i, lt == std::string::npos ? std::string::npos : lt - i),
                       result.problem))
            return result;
        if (lt == std::string::npos) break;
        size_t gt = xml.find('>', lt);
        if (gt == std::string::npos) return result.problem = "unclosed tag", result;
        std::string tag = xml.substr(lt + 1, gt - lt - 1);
        i = gt + 1;
        if (!tag.empty() && tag[0] == '/') {
            if (open.empty() || open.back() != tag.substr(1))
                return result.problem = "mismatched </" + tag.substr(1) + ">", result;
            open.pop_back();
            continue;
        }
        bool empty = !tag.empty() && tag.back() == '/';
        if (empty) tag.pop_back();
        size_t nameEnd = tag.find_first_of(" \t\n");
        std::string name = tag.substr(0, nameEnd);
        if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])))
            return result.problem = "bad element name", result;
        if (nameEnd != std::string::npos && !CheckAttributes(tag.substr(nameEnd), name, result))
            return result;
        if (open.empty() && result.elements.count("svg") != 0)
            return result.problem = "second root", result;
        ++result.elements[name];
        if (!empty) open.push_back(name);
    }
    if (!open.empty()) return result.problem = "unclosed <" + open.back() + ">", result;
    result.wellFormed = result.elements.count("svg") == 1;
    if (!result.wellFormed) result.problem = "no single svg root";
    return result;
}

}  // namespace draw_test
