#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tonemill::gallery {

// One thumbnail pair of the gallery: the tone chart and the natural scene
// through one look, with what the user picks it by and where it comes from.
struct GalleryItem {
    std::string name;
    std::string note;
    std::string chartFile;  // relative to the page
    std::string sceneFile;
};

struct GallerySection {
    std::string title;
    std::string subtitle;
    std::vector<GalleryItem> items;
};

// The help page with the gallery in place of its "<!-- gallery -->" line.
// Throws std::runtime_error when the page has no such line.
std::string pageWithGallery(const std::string& page, const std::vector<GallerySection>& sections, int thumbnailWidth,
                            int thumbnailHeight);

std::string escapedHtml(const std::string& text);

// The page with `html` in place of its `marker` line; throws std::runtime_error
// when the page has no such line.
std::string pageWithMarkerReplaced(const std::string& page, std::string_view marker, const std::string& html);

}  // namespace tonemill::gallery
