// The time's own form is RegisterTimeText's; this adds only what an editor needs around it: blanks
// and bare asterisks for "no time", and the limits of the wire and of a chosen frame rate.
#include "RegisterFieldInput.h"

#include "RegisterEntry.h"
#include "RegisterTimeText.h"
#include "RegisterTimeWire.h"
#include "TextTemplate.h"

#include <string>

namespace tavrel::records {

namespace {

struct RateLimits {
    FrameRate rate;
    const char* name;
    int framesPerSecond; // 0: only the wire's limits
};

constexpr RateLimits Rates[] = {
    {FrameRate::WireLimits, TAVREL_TEXT("Wire limits only"), 0},
    {FrameRate::Fps24, "24", 24},
    {FrameRate::Fps25, "25", 25},
    {FrameRate::Fps30, "30", 30},
};

const RateLimits& limitsOf(FrameRate rate) {
    for (const auto& limits : Rates) {
        if (limits.rate == rate) {
            return limits;
        }
    }
    return Rates[0];
}

bool refuse(std::string* reason, std::string text) {
    if (reason) {
        *reason = std::move(text);
    }
    return false;
}

std::string_view withoutBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// What a time breaks at `fps` frames per second, or an empty text. Every time within these limits
// is within the wire's too.
std::string rateProblem(const VRG500_registerTime& t, int fps) {
    if (t.dropFrame && fps != 30) {
        return TAVREL_TEXT("Drop frame is used only at 30 frames per second.");
    }
    if (t.frames >= fps) {
        return filledText(TAVREL_TEXT("At %1 frames per second the frames go up to %2."),
                          {std::to_string(fps), std::to_string(fps - 1)});
    }
    if (t.hours > 23 || t.minutes > 59 || t.seconds > 59) {
        return filledText(TAVREL_TEXT("At %1 frames per second a time goes up to 23:59:59."),
                          {std::to_string(fps)});
    }
    // Drop frame keeps the count in step with the clock by skipping two labels a minute.
    if (t.dropFrame && t.frames < 2 && t.seconds == 0 && t.minutes % 10 != 0) {
        return TAVREL_TEXT("In drop frame, frames 00 and 01 are skipped at the start of each "
                           "minute except every tenth.");
    }
    return {};
}

} // namespace

bool parseTimeInput(std::string_view text, FrameRate rate, VRG500_registerTime* time,
                    std::string* reason) {
    text = withoutBlanks(text);
    if (text.find_first_not_of('*') == std::string_view::npos) {
        VRG500_registerTime none;
        none.isNull = 1;
        *time = none;
        return true;
    }
    VRG500_registerTime parsed;
    if (!parseRegisterTimeText(&parsed, text)) {
        return refuse(reason,
                      TAVREL_TEXT("Type a time as HH:MM:SS:FF, with \";\" before the frames "
                                  "for drop frame."));
    }
    if (!parsed.isNull) {
        int fps = limitsOf(rate).framesPerSecond;
        if (std::string problem = fps ? rateProblem(parsed, fps) : ""; !problem.empty()) {
            return refuse(reason, std::move(problem));
        }
        if (!vrg500wire::registerTimeFitsWire(parsed)) {
            return refuse(reason, WireTimeLimitsForInput);
        }
    }
    *time = parsed;
    return true;
}

bool parseOffsetInput(std::string_view text, VRG500_registerTime* offset, std::string* reason) {
    text = withoutBlanks(text);
    VRG500_registerTime parsed;
    if (!parseRegisterTimeText(&parsed, text) || parsed.isNull || parsed.dropFrame) {
        return refuse(reason, TAVREL_TEXT("Type an offset as HH:MM:SS:FF, two digits each."));
    }
    if (!vrg500wire::registerTimeFitsWire(parsed)) {
        return refuse(reason, WireTimeLimitsForInput);
    }
    *offset = parsed;
    return true;
}

bool parseClipInput(std::string_view text, std::string* clip, std::string* reason,
                    ClipBytes allowed) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && allowed == ClipBytes::Pasted) {
            return refuse(reason, TAVREL_TEXT("A clip name cannot hold tabs, line breaks or "
                                              "other control characters."));
        }
        if (byte < 0x20 || (byte > 0x7E && allowed == ClipBytes::PrintableAscii)) {
            return refuse(reason,
                          TAVREL_TEXT("A clip name holds printable ASCII characters only."));
        }
        if (c == ',') {
            return refuse(reason, TAVREL_TEXT("A clip name cannot hold a comma."));
        }
    }
    if (text.size() > ClipNameLength) {
        return refuse(reason, TAVREL_TEXT("A clip name has at most 8 characters."));
    }
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        *clip = NoClipName;
        return true;
    }
    std::string name(text);
    name.resize(ClipNameLength, ' ');
    *clip = std::move(name);
    return true;
}

std::string clipInputText(const std::string& clip) {
    if (clip == NoClipName) {
        return {};
    }
    size_t last = clip.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : clip.substr(0, last + 1);
}

int framesPerSecond(FrameRate rate) {
    return limitsOf(rate).framesPerSecond;
}

const char* frameRateName(FrameRate rate) {
    return limitsOf(rate).name;
}

FrameRate frameRateFromName(std::string_view name) {
    for (const auto& limits : Rates) {
        if (name == limits.name) {
            return limits.rate;
        }
    }
    return FrameRate::WireLimits;
}

} // namespace tavrel::records
