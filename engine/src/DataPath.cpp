#include "DataPath.h"

#include "Text1252.h"
#include "Windows1252.h"

#include <dirent.h>
#include <sys/stat.h>

namespace datapath {

namespace {

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool endsWithDic(std::string_view path) {
    if (path.size() <= 4 || path[path.size() - 4] != '.')
        return false;
    for (size_t i = 0; i < 3; ++i) {
        if ((path[path.size() - 3 + i] & ~0x20) != "DIC"[i])
            return false;
    }
    return true;
}

// A character of a name for comparing without regard to case: Windows-1252 letters in upper
// case, every other character as it is (a byte that is no UTF-8 stays apart from all).
uint32_t caseless(uint32_t c) {
    const int b = c >= dbeng::kNotUtf8 ? -1 : windows1252::fromUnicode(c);
    return b < 0 ? c : windows1252::toUnicode(dbeng::upper1252(static_cast<unsigned char>(b)));
}

} // namespace

std::string normalize(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        const char d = c == '\\' ? '/' : c;
        if (d == '/' && !out.empty() && out.back() == '/')
            continue;
        out += d;
    }
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

bool isDictionary(std::string_view path) {
    // ".DIC" is ASCII, and no byte of a UTF-8 sequence is: a search on the bytes finds exactly
    // the places where the characters read ".DIC".
    for (size_t i = 0; i + 4 <= path.size(); ++i) {
        if (path[i] == '.' && (path[i + 1] & ~0x20) == 'D' && (path[i + 2] & ~0x20) == 'I' &&
            (path[i + 3] & ~0x20) == 'C')
            return true;
    }
    return false;
}

std::string tableFolder(std::string_view path) {
    std::string p = normalize(path);
    if (!endsWithDic(p))
        return p;
    const size_t slash = p.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

bool sameName(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (caseless(dbeng::nextUtf8(a, i)) != caseless(dbeng::nextUtf8(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

std::string resolveCase(std::string_view input) {
    std::string path = normalize(input);
    if (path.empty() || exists(path))
        return path;
    const bool absolute = path[0] == '/';
    std::string current = absolute ? "" : "."; // the folder found so far ("" is the root)
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        std::string candidate = current + "/" + part;
        if (!exists(candidate)) {
            // The exact name is missing: take one that differs only in letter case.
            if (DIR *d = opendir(current.empty() ? "/" : current.c_str())) {
                while (dirent *e = readdir(d)) {
                    if (sameName(e->d_name, part)) {
                        part = e->d_name;
                        candidate = current + "/" + part;
                        break;
                    }
                }
                closedir(d);
            }
        }
        current = candidate;
        out += (out.empty() && !absolute) ? part : "/" + part;
    }
    return out;
}

} // namespace datapath
