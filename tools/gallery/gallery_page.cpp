#include "tools/gallery/gallery_page.h"

#include <sstream>
#include <stdexcept>

#include "formats/markup_text.h"

namespace tonemill::gallery {
namespace {

constexpr std::string_view kMarker = "<!-- gallery -->";

}  // namespace

std::string escapedHtml(const std::string& text) {
    return ChromvaleBeta2::escapedMarkup(text);
}

std::string pageWithMarkerReplaced(const std::string& page, std::string_view marker, const std::string& html) {
    const size_t at = page.find(marker);
    if (at == std::string::npos) throw std::runtime_error("the help page has no " + std::string(marker) + " line");
    return page.substr(0, at) + html + page.substr(at + marker.size());
}

std::string pageWithGallery(const std::string& page, const std::vector<GallerySection>& sections, int thumbnailWidth,
                            int thumbnailHeight) {
    std::ostringstream html;
    const std::string size =
        " width=\"" + std::to_string(thumbnailWidth) + "\" height=\"" + std::to_string(thumbnailHeight) + "\"";
    for (const GallerySection& section : sections) {
        html << "<h3>" << escapedHtml(section.title) << "</h3>\n";
        if (!section.subtitle.empty()) html << "<p>" << escapedHtml(section.subtitle) << "</p>\n";
        html << "<div class=\"gallery\">\n";
        for (const GalleryItem& item : section.items) {
            html << "<figure><img src=\"" << escapedHtml(item.chartFile) << "\"" << size << " alt=\"tone chart\">"
                 << "<img src=\"" << escapedHtml(item.sceneFile) << "\"" << size << " alt=\"scene\">"
                 << "<figcaption><b>" << escapedHtml(item.name) << "</b>";
            if (!item.note.empty()) html << "<br><small>" << escapedHtml(item.note) << "</small>";
            html << "</figcaption></figure>\n";
        }
        html << "</div>\n";
    }
    return pageWithMarkerReplaced(page, kMarker, html.str());
}

}  // namespace tonemill::gallery
