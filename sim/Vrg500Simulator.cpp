#include "Vrg500Simulator.h"

#include "DeviceState.h"
#include "FrameAssembler.h"
#include "LineWriter.h"
#include "PseudoTerminal.h"
#include "ReplyShaping.h"
#include "SampleRegisters.h"
#include "SymbolicLink.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace tavrel::sim {

namespace {

using Clock = std::chrono::steady_clock;

// How long a hang-up waits for the client to take the last reply, which a hang-up would lose.
constexpr std::chrono::seconds lastReplyGrace{1};
// How long a reply written into the master may take to reach the slave's input queue.
constexpr std::chrono::milliseconds replyArrival{20};

} // namespace

struct Vrg500Simulator::Impl {
    explicit Impl(Vrg500SimulatorOptions opts) : options(std::move(opts)) {
        state.version = options.version;
        if (options.sampleRegisters) {
            fillSampleRegisters(state, options.seed, options.sampleCount);
        }
    }

    const Vrg500SimulatorOptions options;

    // Shared with the callers, under the lock.
    mutable std::mutex mutex;
    DeviceState state;
    std::deque<ReplyOverride> overrides;
    std::vector<std::vector<uint8_t>> received;
    int framesBeforeHangUp = -1; // none planned
    bool reappearAfterHangUp = true;
    std::string devicePath;

    // The answering thread's own while it runs.
    std::unique_ptr<PseudoTerminal> pty;
    FrameAssembler assembler;
    std::thread thread;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::atomic<bool> stopping{false};
    LineWriter writer{wakeRead, stopping};

    bool openPty(std::string* error);
    void wake() const;
    void run();
    void pollOnce();
    void readMaster();
    void answer(const uint8_t* frame, size_t size, Clock::time_point firstByte);
    bool hangUpDue() const;
    void waitForLastReplyTaken();
    void hangUp();
    void closeWakePipe();
};

bool Vrg500Simulator::Impl::openPty(std::string* error) {
    auto fresh = std::make_unique<PseudoTerminal>();
    if (!fresh->open(error)) {
        return false;
    }
    if (!options.linkPath.empty() &&
        !pointSymbolicLink(options.linkPath, fresh->slavePath(), error)) {
        return false;
    }
    pty = std::move(fresh);
    std::lock_guard lock(mutex);
    devicePath = pty->slavePath();
    return true;
}

void Vrg500Simulator::Impl::wake() const {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(wakeWrite, &byte, 1);
}

void Vrg500Simulator::Impl::run() {
    while (!stopping) {
        if (hangUpDue()) {
            hangUp();
        }
        pollOnce();
    }
}

void Vrg500Simulator::Impl::pollOnce() {
    pollfd fds[3] = {{wakeRead, POLLIN, 0}, {-1, POLLIN, 0}, {-1, POLLIN, 0}};
    if (pty) {
        fds[1].fd = pty->masterFd();
        fds[2].fd = pty->watchFd();
    }
    int timeout = -1;
    if (const auto deadline = assembler.stallDeadline()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
        timeout = static_cast<int>(std::max<int64_t>(left.count(), 0));
    }
    poll(fds, 3, timeout);
    if (fds[0].revents & POLLIN) {
        char drain[64];
        while (read(wakeRead, drain, sizeof drain) > 0) {
        }
    }
    if (fds[2].revents & POLLIN) {
        pty->handleWatchEvents();
    }
    if (fds[1].revents & POLLIN) {
        readMaster();
    }
    assembler.discardStalled(Clock::now());
}

void Vrg500Simulator::Impl::readMaster() {
    uint8_t bytes[512];
    ssize_t count;
    while (pty && (count = read(pty->masterFd(), bytes, sizeof bytes)) > 0) {
        assembler.add(bytes, static_cast<size_t>(count), Clock::now(),
                      [this](const uint8_t* frame, size_t size, Clock::time_point firstByte) {
                          answer(frame, size, firstByte);
                      });
    }
}

void Vrg500Simulator::Impl::answer(const uint8_t* frame, size_t size, Clock::time_point firstByte) {
    ReplyPlan plan;
    {
        std::lock_guard lock(mutex);
        if (framesBeforeHangUp == 0) {
            return; // the line is going away
        }
        if (options.recordFrames) {
            received.emplace_back(frame, frame + size);
        }
        std::optional<ReplyOverride> entry;
        if (!overrides.empty()) {
            entry = std::move(overrides.front());
            overrides.pop_front();
        }
        plan = shapeReply(state.answer(frame, size, answersWrongRegister(entry)), entry);
        if (framesBeforeHangUp > 0) {
            --framesBeforeHangUp;
        }
    }
    // Paced, the reply starts when the request's last byte would have arrived.
    const auto requestTime = LineWriter::byteTime * static_cast<int64_t>(size);
    const Clock::time_point start = options.paced ? firstByte + requestTime : Clock::now();
    writer.send(pty->masterFd(), plan, options.paced, start + options.replyLatency);
}

bool Vrg500Simulator::Impl::hangUpDue() const {
    std::lock_guard lock(mutex);
    return framesBeforeHangUp == 0;
}

// The kernel hands bytes written into the master to the slave a little later, so an empty input
// queue right after the reply may only mean that it has not arrived yet: the reply counts as
// taken once it has been seen waiting and then gone, or when nothing shows for a short while.
void Vrg500Simulator::Impl::waitForLastReplyTaken() {
    const Clock::time_point start = Clock::now();
    bool seenWaiting = false;
    while (pty && Clock::now() < start + lastReplyGrace) {
        if (pty->unreadBytes() > 0) {
            seenWaiting = true;
        } else if (seenWaiting || Clock::now() >= start + replyArrival) {
            return;
        }
        if (!writer.sleepUntil(Clock::now() + std::chrono::milliseconds(1))) {
            return;
        }
    }
}

void Vrg500Simulator::Impl::hangUp() {
    waitForLastReplyTaken();
    if (stopping) {
        return;
    }
    bool reappear;
    {
        std::lock_guard lock(mutex);
        framesBeforeHangUp = -1;
        reappear = reappearAfterHangUp;
    }
    // The new pty exists before the old one goes, so the link never points at nothing and the
    // new device never takes the old one's name.
    std::unique_ptr<PseudoTerminal> old = std::move(pty);
    assembler.reset();
    if ((!reappear || !openPty(nullptr)) && old && !options.linkPath.empty()) {
        removeSymbolicLink(options.linkPath, old->slavePath());
    }
}

void Vrg500Simulator::Impl::closeWakePipe() {
    for (int* fd : {&wakeRead, &wakeWrite}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

Vrg500Simulator::Vrg500Simulator(Vrg500SimulatorOptions options)
    : _impl(std::make_unique<Impl>(std::move(options))) {}

Vrg500Simulator::~Vrg500Simulator() {
    stop();
}

bool Vrg500Simulator::start(std::string* error) {
    Impl& impl = *_impl;
    if (impl.thread.joinable()) {
        return true;
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        if (error) {
            *error = "cannot make the wake-up pipe";
        }
        return false;
    }
    impl.wakeRead = pipeFds[0];
    impl.wakeWrite = pipeFds[1];
    if (!impl.openPty(error)) {
        impl.closeWakePipe();
        return false;
    }
    impl.stopping = false;
    impl.assembler.reset();
    impl.thread = std::thread([&impl] { impl.run(); });
    return true;
}

void Vrg500Simulator::stop() {
    Impl& impl = *_impl;
    if (!impl.thread.joinable()) {
        return;
    }
    impl.stopping = true;
    impl.wake();
    impl.thread.join();
    if (impl.pty && !impl.options.linkPath.empty()) {
        removeSymbolicLink(impl.options.linkPath, impl.pty->slavePath());
    }
    impl.pty.reset();
    impl.closeWakePipe();
}

std::string Vrg500Simulator::slavePath() const {
    return _impl->options.linkPath.empty() ? devicePath() : _impl->options.linkPath;
}

std::string Vrg500Simulator::devicePath() const {
    std::lock_guard lock(_impl->mutex);
    return _impl->devicePath;
}

void Vrg500Simulator::setRegisterWire(uint16_t number, const std::array<uint8_t, 34>& wire) {
    std::lock_guard lock(_impl->mutex);
    _impl->state.registers[number] = wire;
}

std::array<uint8_t, 34> Vrg500Simulator::registerWire(uint16_t number) const {
    std::lock_guard lock(_impl->mutex);
    return _impl->state.registers[number];
}

void Vrg500Simulator::setClipNames(uint16_t number, std::optional<std::array<uint8_t, 32>> names) {
    std::lock_guard lock(_impl->mutex);
    _impl->state.clipNames[number] = names;
}

std::optional<std::array<uint8_t, 32>> Vrg500Simulator::clipNames(uint16_t number) const {
    std::lock_guard lock(_impl->mutex);
    return _impl->state.clipNames[number];
}

void Vrg500Simulator::setMenu(const std::array<uint8_t, 32>& menu) {
    std::lock_guard lock(_impl->mutex);
    _impl->state.menu = menu;
}

std::array<uint8_t, 32> Vrg500Simulator::menu() const {
    std::lock_guard lock(_impl->mutex);
    return _impl->state.menu;
}

void Vrg500Simulator::setMenuAnsweredWithAck(bool ack) {
    std::lock_guard lock(_impl->mutex);
    _impl->state.menuAnsweredWithAck = ack;
}

void Vrg500Simulator::setVersion(const std::string& version) {
    std::lock_guard lock(_impl->mutex);
    _impl->state.version = version.substr(0, 255);
}

void Vrg500Simulator::setCurrentRegister(uint16_t number) {
    std::lock_guard lock(_impl->mutex);
    _impl->state.currentRegister = number;
}

uint16_t Vrg500Simulator::currentRegister() const {
    std::lock_guard lock(_impl->mutex);
    return _impl->state.currentRegister;
}

void Vrg500Simulator::setVideoStandard(bool one) {
    std::lock_guard lock(_impl->mutex);
    _impl->state.videoStandard = one;
}

void Vrg500Simulator::injectFault(Vrg500Fault fault, int count) {
    std::lock_guard lock(_impl->mutex);
    _impl->overrides.push_back({fault, count, {}});
}

void Vrg500Simulator::queueRawReply(const std::vector<uint8_t>& bytes) {
    std::lock_guard lock(_impl->mutex);
    _impl->overrides.push_back({std::nullopt, 0, bytes});
}

void Vrg500Simulator::hangUpAfterFrames(int frames, bool reappear) {
    {
        std::lock_guard lock(_impl->mutex);
        _impl->framesBeforeHangUp = std::max(frames, 0);
        _impl->reappearAfterHangUp = reappear;
    }
    if (_impl->wakeWrite >= 0) {
        _impl->wake();
    }
}

std::vector<std::vector<uint8_t>> Vrg500Simulator::receivedFrames() const {
    std::lock_guard lock(_impl->mutex);
    return _impl->received;
}

void Vrg500Simulator::clearReceivedFrames() {
    std::lock_guard lock(_impl->mutex);
    _impl->received.clear();
}

} // namespace tavrel::sim
