#include "tools/testimages/bitmap_text.h"

#include <cctype>

namespace tonemill::testimages {

namespace {

// 3 x 5 pixel glyphs, one row per string, '#' set. Letters are capitals only:
// lower case is drawn as upper case, which three pixels across cannot tell apart.
const char* glyph(char c) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
        case '0':
            return "###"
                   "#.#"
                   "#.#"
                   "#.#"
                   "###";
        case '1':
            return ".#."
                   "##."
                   ".#."
                   ".#."
                   "###";
        case '2':
            return "###"
                   "..#"
                   "###"
                   "#.."
                   "###";
        case '3':
            return "###"
                   "..#"
                   "###"
                   "..#"
                   "###";
        case '4':
            return "#.#"
                   "#.#"
                   "###"
                   "..#"
                   "..#";
        case '5':
            return "###"
                   "#.."
                   "###"
                   "..#"
                   "###";
        case '6':
            return "###"
                   "#.."
                   "###"
                   "#.#"
                   "###";
        case '7':
            return "###"
                   "..#"
                   "..#"
                   "..#"
                   "..#";
        case '8':
            return "###"
                   "#.#"
                   "###"
                   "#.#"
                   "###";
        case '9':
            return "###"
                   "#.#"
                   "###"
                   "..#"
                   "###";
        case '+':
            return "..."
                   ".#."
                   "###"
                   ".#."
                   "...";
        case '-':
            return "..."
                   "..."
                   "###"
                   "..."
                   "...";
        case 'A':
            return "###"
                   "#.#"
                   "###"
                   "#.#"
                   "#.#";
        case 'B':
            return "##."
                   "#.#"
                   "##."
                   "#.#"
                   "##.";
        case 'C':
            return "###"
                   "#.."
                   "#.."
                   "#.."
                   "###";
        case 'D':
            return "##."
                   "#.#"
                   "#.#"
                   "#.#"
                   "##.";
        case 'E':
            return "###"
                   "#.."
                   "##."
                   "#.."
                   "###";
        case 'F':
            return "###"
                   "#.."
                   "##."
                   "#.."
                   "#..";
        case 'G':
            return "###"
                   "#.."
                   "#.#"
                   "#.#"
                   "###";
        case 'H':
            return "#.#"
                   "#.#"
                   "###"
                   "#.#"
                   "#.#";
        case 'I':
            return "###"
                   ".#."
                   ".#."
                   ".#."
                   "###";
        case 'J':
            return "..#"
                   "..#"
                   "..#"
                   "#.#"
                   "###";
        case 'K':
            return "#.#"
                   "#.#"
                   "##."
                   "#.#"
                   "#.#";
        case 'L':
            return "#.."
                   "#.."
                   "#.."
                   "#.."
                   "###";
        case 'M':
            return "#.#"
                   "###"
                   "###"
                   "#.#"
                   "#.#";
        case 'N':
            return "##."
                   "#.#"
                   "#.#"
                   "#.#"
                   "#.#";
        case 'O':
            return "###"
                   "#.#"
                   "#.#"
                   "#.#"
                   "###";
        case 'P':
            return "###"
                   "#.#"
                   "###"
                   "#.."
                   "#..";
        case 'Q':
            return "###"
                   "#.#"
                   "#.#"
                   "###"
                   "..#";
        case 'R':
            return "##."
                   "#.#"
                   "##."
                   "#.#"
                   "#.#";
        case 'S':
            return "###"
                   "#.."
                   "###"
                   "..#"
                   "###";
        case 'T':
            return "###"
                   ".#."
                   ".#."
                   ".#."
                   ".#.";
        case 'U':
            return "#.#"
                   "#.#"
                   "#.#"
                   "#.#"
                   "###";
        case 'V':
            return "#.#"
                   "#.#"
                   "#.#"
                   "#.#"
                   ".#.";
        case 'W':
            return "#.#"
                   "#.#"
                   "###"
                   "###"
                   "#.#";
        case 'X':
            return "#.#"
                   "#.#"
                   ".#."
                   "#.#"
                   "#.#";
        case 'Y':
            return "#.#"
                   "#.#"
                   ".#."
                   ".#."
                   ".#.";
        case 'Z':
            return "###"
                   "..#"
                   ".#."
                   "#.."
                   "###";
        case '.':
            return "..."
                   "..."
                   "..."
                   "..."
                   ".#.";
        case ',':
            return "..."
                   "..."
                   "..."
                   ".#."
                   "#..";
        case ':':
            return "..."
                   ".#."
                   "..."
                   ".#."
                   "...";
        case '=':
            return "..."
                   "###"
                   "..."
                   "###"
                   "...";
        case '_':
            return "..."
                   "..."
                   "..."
                   "..."
                   "###";
        case '/':
            return "..#"
                   "..#"
                   ".#."
                   "#.."
                   "#..";
        case '(':
            return ".#."
                   "#.."
                   "#.."
                   "#.."
                   ".#.";
        case ')':
            return ".#."
                   "..#"
                   "..#"
                   "..#"
                   ".#.";
        case '#':
            return "#.#"
                   "###"
                   "#.#"
                   "###"
                   "#.#";
        case '%':
            return "#.#"
                   "..#"
                   ".#."
                   "#.."
                   "#.#";
        case '\'':
            return ".#."
                   ".#."
                   "..."
                   "..."
                   "...";
        default:
            return "..."
                   "..."
                   "..."
                   "..."
                   "...";
    }
}

}  // namespace

void setPixel(Picture& p, unsigned x, unsigned y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* px = p.at(x, y);
    px[0] = r;
    px[1] = g;
    px[2] = b;
    if (p.channels == 4) px[3] = 255;
}

void drawText(Picture& p, const std::string& text, unsigned x0, unsigned y0, unsigned scale, uint8_t level) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char* g = glyph(text[i]);
        for (unsigned gy = 0; gy < 5 * scale; ++gy)
            for (unsigned gx = 0; gx < 3 * scale; ++gx)
                if (g[(gy / scale) * 3 + gx / scale] == '#')
                    setPixel(p, x0 + unsigned(i) * 4 * scale + gx, y0 + gy, level, level, level);
    }
}

unsigned textWidth(const std::string& text, unsigned scale) {
    return text.empty() ? 0 : unsigned(text.size()) * 4 * scale - scale;
}

}  // namespace tonemill::testimages
