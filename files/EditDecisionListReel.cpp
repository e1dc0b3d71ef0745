#include "EditDecisionListReel.h"

#include "EditDecisionListWords.h"

#include "RegisterEntry.h"

#include <algorithm>

namespace tavrel::files {

namespace {

constexpr std::string_view CommentStart = "* TAVREL";
constexpr char HexDigits[] = "0123456789ABCDEF";

bool isReelByte(char c) {
    // Not a comma: a reel holding one is refused when read (a clip name A to C cannot hold it).
    return c > ' ' && c < 0x7F && c != ',';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool parseDigits(std::string_view word, int64_t* value) {
    if (word.empty() || word.size() > 9) {
        return false;
    }
    int64_t result = 0;
    for (char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + (c - '0');
    }
    *value = result;
    return true;
}

bool parseHex(std::string_view word, std::string* bytes) {
    if (word.size() % 2 != 0) {
        return false;
    }
    std::string result;
    result.reserve(word.size() / 2);
    for (size_t i = 0; i < word.size(); i += 2) {
        int high = hexValue(word[i]);
        int low = hexValue(word[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        result += static_cast<char>(high * 16 + low);
    }
    *bytes = std::move(result);
    return true;
}

// Whether clipOfReel(reel) is `clip`, without making it.
bool isClipOfReel(std::string_view reel, const std::string& clip) {
    if (reel == EdlNoReel) {
        return clip == records::NoClipName;
    }
    return clip.size() == std::max(reel.size(), records::ClipNameLength) &&
           std::string_view(clip).substr(0, reel.size()) == reel &&
           clip.find_first_not_of(' ', reel.size()) == std::string::npos;
}

} // namespace

std::string reelOfClip(const std::string& clip) {
    if (clip == records::NoClipName) {
        return std::string(EdlNoReel);
    }
    size_t end = clip.find_last_not_of(' ');
    std::string_view name =
        std::string_view(clip).substr(0, end == std::string::npos ? 0 : end + 1);
    bool carries = !name.empty() && name.size() <= EdlReelLength;
    for (char c : name) {
        carries = carries && isReelByte(c);
    }
    return carries ? std::string(name) : std::string(EdlNoReel);
}

std::string clipOfReel(std::string_view reel) {
    if (reel == EdlNoReel) {
        return records::NoClipName;
    }
    std::string clip(reel);
    if (clip.size() < records::ClipNameLength) {
        clip.resize(records::ClipNameLength, ' ');
    }
    return clip;
}

void appendTavrelEdlComment(std::string* text, std::string_view label, char machine,
                            const std::string& clip, std::string_view reel) {
    *text += CommentStart;
    *text += " REGISTER ";
    *text += label;
    if (machine == 0) {
        return;
    }
    *text += " MACHINE ";
    *text += machine;
    if (!isClipOfReel(reel, clip)) {
        *text += " CLIP ";
        // Two digits a byte, put in place rather than appended one at a time.
        const size_t at = text->size();
        text->resize(at + 2 * clip.size());
        char* digits = text->data() + at;
        for (char c : clip) {
            const auto byte = static_cast<unsigned char>(c);
            *digits++ = HexDigits[byte >> 4];
            *digits++ = HexDigits[byte & 0x0F];
        }
    }
}

bool looksLikeTavrelEdlComment(std::string_view line) {
    return line.substr(0, CommentStart.size()) == CommentStart &&
           (line.size() == CommentStart.size() || isEdlBlank(line[CommentStart.size()]));
}

bool parseTavrelEdlComment(std::string_view line, TavrelEdlComment* comment) {
    if (!looksLikeTavrelEdlComment(line)) {
        return false;
    }
    size_t at = CommentStart.size();
    TavrelEdlComment parsed;
    if (nextEdlWord(line, &at) != "REGISTER" ||
        !parseDigits(nextEdlWord(line, &at), &parsed.number)) {
        return false;
    }
    std::string_view word = nextEdlWord(line, &at);
    if (word == "MACHINE") {
        std::string_view letter = nextEdlWord(line, &at);
        if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'D') {
            return false;
        }
        parsed.machine = letter[0];
        word = nextEdlWord(line, &at);
        if (word == "CLIP") {
            std::string clip;
            if (!parseHex(nextEdlWord(line, &at), &clip)) {
                return false;
            }
            parsed.clip = std::move(clip);
            word = nextEdlWord(line, &at);
        }
    }
    if (!word.empty()) {
        return false;
    }
    *comment = std::move(parsed);
    return true;
}

} // namespace tavrel::files
