// The drives of the Wine prefix, read from its dosdevices links, and the two mappings over them.
#include "files.h"

#include <glib.h>

#include <cctype>
#include <cstdlib>
#include <vector>

namespace mpris {

namespace {

constexpr char DriveLinks[] = "/dosdevices/";
constexpr char FirstDrive = 'a', LastDrive = 'z';

bool IsUrl(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at])))
        ++at;
    return at > 0 && text.compare(at, 3, "://") == 0;
}

// The folder that the drive's link names, or empty when there is none.
std::string DriveFolder(const std::string& prefix, char drive) {
    const std::string link = prefix + DriveLinks +
                             static_cast<char>(std::tolower(static_cast<unsigned char>(drive))) +
                             ":";
    gchar* target = g_canonicalize_filename(link.c_str(), nullptr);
    char* real = realpath(target, nullptr);
    g_free(target);
    std::string folder = real != nullptr ? real : "";
    free(real);
    return folder;
}

// The name in the folder that equals this one without regard to case, or the name itself.
std::string MatchCase(const std::string& folder, const std::string& name) {
    if (g_file_test((folder + "/" + name).c_str(), G_FILE_TEST_EXISTS)) return name;
    gchar* wanted = g_utf8_casefold(name.c_str(), -1);
    std::string found = name;
    if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
        while (const gchar* entry = g_dir_read_name(dir)) {
            gchar* folded = g_utf8_casefold(entry, -1);
            const bool same = g_strcmp0(folded, wanted) == 0;
            g_free(folded);
            if (same) {
                found = entry;
                break;
            }
        }
        g_dir_close(dir);
    }
    g_free(wanted);
    return found;
}

bool Safe(const std::string& text) {
    for (unsigned char c : text)
        if (c < ' ' || c == 0x7F || c == '"') return false;
    return true;
}

}  // namespace

std::string FileUrl(const std::string& file, const std::string& prefix) {
    if (IsUrl(file)) return file;
    if (file.size() < 3 || !std::isalpha(static_cast<unsigned char>(file[0])) || file[1] != ':' ||
        (file[2] != '\\' && file[2] != '/'))
        return "";
    std::string path = DriveFolder(prefix, file[0]);
    if (path.empty()) return "";
    std::vector<std::string> parts;
    gchar** names =
        g_regex_split_simple("[\\\\/]+", file.c_str() + 3, G_REGEX_DEFAULT, G_REGEX_MATCH_DEFAULT);
    for (gchar** name = names; *name != nullptr; ++name) {
        const std::string part = *name;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();  // never above the drive's folder
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    g_strfreev(names);
    for (const std::string& part : parts)
        path += (path.back() == '/' ? "" : "/") + MatchCase(path, part);  // Z: is "/"
    return PathUrl(path);
}

std::string PathUrl(const std::string& path) {
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    std::string url = uri != nullptr ? uri : "";
    g_free(uri);
    return url;
}

bool OpenTarget(const std::string& uri, const std::string& prefix, std::string& target) {
    gchar* scheme = g_uri_parse_scheme(uri.c_str());
    const std::string kind = scheme != nullptr ? scheme : "";
    g_free(scheme);
    if (kind == "http" || kind == "https") {
        target = uri;
        return Safe(uri);
    }
    if (kind != "file") return false;
    gchar* decoded = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    const std::string named = decoded != nullptr ? decoded : "";
    g_free(decoded);
    if (named.empty() || !Safe(named)) return false;
    char* real = realpath(named.c_str(), nullptr);  // and so it exists
    const std::string path = real != nullptr ? real : "";
    free(real);
    if (path.empty()) return false;
    // The drive whose folder holds the path most closely.
    char drive = 0;
    std::size_t longest = 0;
    for (char letter = FirstDrive; letter <= LastDrive; ++letter) {
        const std::string folder = DriveFolder(prefix, letter);
        const bool holds = !folder.empty() &&
                           (folder == "/" || path.compare(0, folder.size() + 1, folder + "/") == 0);
        const std::size_t length = folder == "/" ? 0 : folder.size();
        if (holds && (drive == 0 || length > longest)) {
            drive = letter;
            longest = length;
        }
    }
    if (drive == 0) return false;
    target = std::string(1, static_cast<char>(std::toupper(drive))) + ":\\";
    for (std::size_t at = longest + 1; at < path.size(); ++at)
        target += path[at] == '/' ? '\\' : path[at];
    return true;
}

}  // namespace mpris
