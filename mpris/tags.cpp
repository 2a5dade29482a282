// Tags and covers through TagLib's format classes, in a way that builds with TagLib 1.13 and 2.0.
#include "tags.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <vector>

#include "files.h"

namespace mpris {

namespace {

constexpr std::size_t CachedCovers = 64;
constexpr char CacheName[] = "tunedesk-mpris";
constexpr const char* CoverNames[] = {"cover", "folder", "front", "album", "albumart"};
constexpr const char* CoverExtensions[] = {".jpg", ".jpeg", ".png"};
constexpr char AnyAlbumArt[] = "albumart";  // AlbumArt* after the names above

std::string Utf8(const TagLib::String& text) { return text.to8Bit(true); }

std::string Bytes(const TagLib::ByteVector& data) { return std::string(data.data(), data.size()); }

bool EndsWith(const std::string& text, const char* end) {
    const std::string tail = end;
    return text.size() >= tail.size() &&
           g_ascii_strcasecmp(text.c_str() + text.size() - tail.size(), end) == 0;
}

// The front cover of the pictures, else the first; pictures is (type, bytes) pairs.
template <typename Picture, typename FrontCover>
std::string Choose(const std::vector<Picture>& pictures, FrontCover front) {
    for (const Picture& picture : pictures)
        if (picture.first == front) return picture.second;
    return pictures.empty() ? "" : pictures.front().second;
}

using Pictures = std::vector<std::pair<int, std::string>>;

// FLAC files and Vorbis comments hold the same picture blocks.
std::string FlacPictureCover(const TagLib::List<TagLib::FLAC::Picture*>& list) {
    Pictures pictures;
    for (TagLib::FLAC::Picture* picture : list)
        pictures.emplace_back(picture->type(), Bytes(picture->data()));
    return Choose(pictures, static_cast<int>(TagLib::FLAC::Picture::FrontCover));
}

std::string FlacCover(TagLib::FLAC::File& file) { return FlacPictureCover(file.pictureList()); }

std::string OggCover(TagLib::Ogg::Vorbis::File& file) {
    TagLib::Ogg::XiphComment* comment = file.tag();
    return comment != nullptr ? FlacPictureCover(comment->pictureList()) : "";
}

std::string Id3Cover(TagLib::MPEG::File& file) {
    Pictures pictures;
    if (TagLib::ID3v2::Tag* tag = file.ID3v2Tag()) {
        for (TagLib::ID3v2::Frame* frame : tag->frameListMap()["APIC"]) {
            const auto* picture = static_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
            pictures.emplace_back(picture->type(), Bytes(picture->picture()));
        }
    }
    return Choose(pictures, static_cast<int>(TagLib::ID3v2::AttachedPictureFrame::FrontCover));
}

std::string Mp4Cover(TagLib::MP4::File& file) {
    TagLib::MP4::Tag* tag = file.tag();
    if (tag == nullptr || !tag->contains("covr")) return "";
    const TagLib::MP4::CoverArtList covers = tag->item("covr").toCoverArtList();
    return covers.isEmpty() ? "" : Bytes(covers.front().data());
}

// The first value under the key, or empty.
std::string First(const TagLib::PropertyMap& properties, const char* key) {
    return properties.contains(key) && !properties[key].isEmpty() ? Utf8(properties[key].front())
                                                                  : "";
}

// What any kind of file gives: its tags and its length. False for a file TagLib can't read.
bool ReadFile(TagLib::File* file, Tags& tags) {
    if (file == nullptr || !file->isValid()) return false;
    if (TagLib::Tag* tag = file->tag()) {
        tags.title = Utf8(tag->title());
        tags.artist = Utf8(tag->artist());
        tags.album = Utf8(tag->album());
        tags.genre = Utf8(tag->genre());
        tags.track = static_cast<int>(tag->track());
    }
    const TagLib::PropertyMap properties = file->properties();
    tags.albumArtist = First(properties, "ALBUMARTIST");
    tags.disc = std::atoi(First(properties, "DISCNUMBER").c_str());  // "3/12" is 3
    if (TagLib::AudioProperties* audio = file->audioProperties())
        tags.length = static_cast<std::int64_t>(audio->lengthInMilliseconds()) * 1000;
    return true;
}

// Opens the file as the format whose cover it holds, once, for its tags and that cover.
template <typename Format, std::string (*Cover)(Format&)>
bool ReadWithCover(const std::string& path, Tags& tags) {
    Format file(path.c_str());
    if (!ReadFile(&file, tags)) return false;
    tags.cover = Cover(file);
    return true;
}

// The kinds of file whose embedded cover is read, by extension; any other is read without one.
constexpr struct {
    const char* extension;
    bool (*read)(const std::string& path, Tags& tags);
} CoverFormats[] = {
    {".flac", ReadWithCover<TagLib::FLAC::File, FlacCover>},
    {".ogg", ReadWithCover<TagLib::Ogg::Vorbis::File, OggCover>},
    {".oga", ReadWithCover<TagLib::Ogg::Vorbis::File, OggCover>},
    {".mp3", ReadWithCover<TagLib::MPEG::File, Id3Cover>},
    {".m4a", ReadWithCover<TagLib::MP4::File, Mp4Cover>},
    {".mp4", ReadWithCover<TagLib::MP4::File, Mp4Cover>},
    {".m4b", ReadWithCover<TagLib::MP4::File, Mp4Cover>},
};

// A picture's extension, from its first bytes.
const char* PictureExtension(const std::string& bytes) {
    if (bytes.rfind("\x89PNG", 0) == 0) return ".png";
    if (bytes.rfind("GIF8", 0) == 0) return ".gif";
    return ".jpg";
}

// Removes the oldest covers beyond the newest CachedCovers.
void KeepNewest(const std::string& folder) {
    std::vector<std::pair<std::int64_t, std::string>> covers;
    if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
        while (const gchar* name = g_dir_read_name(dir)) {
            const std::string path = folder + "/" + name;
            GStatBuf status;
            if (g_stat(path.c_str(), &status) == 0) covers.emplace_back(status.st_mtime, path);
        }
        g_dir_close(dir);
    }
    if (covers.size() <= CachedCovers) return;
    std::sort(covers.begin(), covers.end());
    for (std::size_t at = 0; at < covers.size() - CachedCovers; ++at)
        g_remove(covers[at].second.c_str());
}

std::string CachedCover(const std::string& bytes, const std::string& cacheFolder) {
    gchar* hash = g_compute_checksum_for_data(
        G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
    const std::string path = cacheFolder + "/" + hash + PictureExtension(bytes);
    g_free(hash);
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) {
        g_mkdir_with_parents(cacheFolder.c_str(), 0700);
        if (!g_file_set_contents(path.c_str(), bytes.data(), bytes.size(), nullptr)) return "";
        KeepNewest(cacheFolder);
    }
    return PathUrl(path);
}

// The first image beside the file whose name is one of the cover names, in their order.
std::string FolderCover(const std::string& path) {
    gchar* folder = g_path_get_dirname(path.c_str());
    std::vector<std::string> names;
    if (GDir* dir = g_dir_open(folder, 0, nullptr)) {
        while (const gchar* name = g_dir_read_name(dir))
            names.push_back(name);
        g_dir_close(dir);
    }
    std::sort(names.begin(), names.end());
    std::string found;
    const auto image = [](const std::string& name, const std::string& stem, bool anyEnd) {
        for (const char* extension : CoverExtensions) {
            const std::size_t end = name.size() - std::string(extension).size();
            if (!EndsWith(name, extension) || end < stem.size()) continue;
            if (g_ascii_strncasecmp(name.c_str(), stem.c_str(), stem.size()) == 0 &&
                (anyEnd || end == stem.size()))
                return true;
        }
        return false;
    };
    for (std::size_t rank = 0; found.empty() && rank <= std::size(CoverNames); ++rank) {
        const bool any = rank == std::size(CoverNames);
        for (const std::string& name : names)
            if (found.empty() && image(name, any ? AnyAlbumArt : CoverNames[rank], any))
                found = std::string(folder) + "/" + name;
    }
    g_free(folder);
    return found.empty() ? "" : PathUrl(found);
}

}  // namespace

Tags ReadTags(const std::string& path) {
    Tags tags;
    for (const auto& format : CoverFormats)
        if (EndsWith(path, format.extension) && format.read(path, tags)) return tags;
    // Any other kind, or one whose extension misleads: whatever TagLib finds it to be.
    TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Average);
    ReadFile(file.file(), tags);
    return tags;
}

std::string CoverArt(const Tags& tags, const std::string& path, const std::string& cacheFolder) {
    if (!tags.cover.empty()) {
        const std::string cached = CachedCover(tags.cover, cacheFolder);
        if (!cached.empty()) return cached;
    }
    return FolderCover(path);
}

std::string CacheFolder() { return std::string(g_get_user_cache_dir()) + "/" + CacheName; }

}  // namespace mpris
