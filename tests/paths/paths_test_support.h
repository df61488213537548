#pragma once

#include <string>

#include "SFM_FilePath.h"
#include "tessar_files.h"

namespace paths_test {

using tessar_test::Text;

// The parts of a path as plain strings, in the order of the full path.
struct Parts {
    std::string base, rel, name, ext;

    bool operator==(const Parts& o) const {
        return base == o.base && rel == o.rel && name == o.name && ext == o.ext;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Parts& p) {
    return out << "[" << p.base << "|" << p.rel << "|" << p.name << "|" << p.ext << "]";
}

inline Parts PartsOf(SFM_FilePath& path) {
    return {Text(path.GetBasePath()), Text(path.GetRelPath()), Text(path.GetFileName()),
            Text(path.GetFileExtension())};
}

// True when the full path is the concatenation of the parts and the name with extension the
// concatenation of name and extension.
inline bool IsConsistent(SFM_FilePath& path) {
    const Parts p = PartsOf(path);
    return Text(path.GetFileNameExt()) == p.name + p.ext &&
           Text(path.GetFileDirectory()) == p.base + p.rel &&
           Text(static_cast<SYS_String>(path)) == p.base + p.rel + p.name + p.ext;
}

// Sets the default separator for the life of the object.
class ScopedDefaultSeparator {
public:
    explicit ScopedDefaultSeparator(int index) : m_saved(SFM_FilePath::DefaultSeparator) {
        SFM_FilePath::DefaultSeparator = index;
    }
    ~ScopedDefaultSeparator() { SFM_FilePath::DefaultSeparator = m_saved; }
    ScopedDefaultSeparator(const ScopedDefaultSeparator&) = delete;
    ScopedDefaultSeparator& operator=(const ScopedDefaultSeparator&) = delete;

private:
    int m_saved;
};

}  // namespace paths_test
