// Replies as a device and a line may deliver them: any bytes, cut into any
// pieces, arriving before the query (the late end of an earlier reply) or
// during its polls, writes that fail, the connection lost at any read.
// What QueryCommand and ReceiveReply hand out is checked against the
// assembly rules, then goes through the identification check and the
// status decoder, as the connect sequence and the poller would use it.
#include "core/link/Catalogue.h"
#include "core/link/Link.h"
#include "core/panel/StatusDecoder.h"
#include "core/util/Clock.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

namespace {

using omnar::link::Frame;
using omnar::link::kFrameSize;

// The fuzz input, read a byte at a time; 0 once it is used up.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    bool empty() const { return at >= size; }
    std::uint8_t next() { return at < size ? data[at++] : 0; }
};

// A line whose every read first lets a fuzz-chosen number of bytes arrive,
// then hands out what waits, at most `max` bytes, as a port does. A control
// byte of 0xFF makes that read find the connection gone.
class FuzzTransport final : public omnar::link::Transport {
public:
    explicit FuzzTransport(Input& in)
        : m_in(in)
    {
    }

    bool failWrites = false;
    // Every read since the query went out (or, before that, of the stale
    // input thrown away): the chunk handed out; and whether one of them found
    // the line gone.
    std::vector<std::vector<std::uint8_t>> log;
    bool lostInLog = false;
    bool wrote = false;

    void startCall()
    {
        log.clear();
        lostInLog = false;
        wrote = false;
    }
    int writeFrame(const Frame&) override
    {
        log.clear();
        lostInLog = false;
        wrote = true;
        return failWrites ? static_cast<int>(m_in.next() % kFrameSize) : static_cast<int>(kFrameSize);
    }
    int read(std::uint8_t* buffer, std::size_t max) override
    {
        const std::uint8_t control = m_in.next();
        if (control == 0xFF) {
            markLost("fuzz");
            lostInLog = true;
            return 0;
        }
        for (int arriving = control % 24; arriving > 0 && !m_in.empty(); --arriving)
            m_waiting.push_back(m_in.next());
        const std::size_t n = std::min({m_waiting.size(), max, kFrameSize});
        std::vector<std::uint8_t> chunk(m_waiting.begin(), m_waiting.begin() + static_cast<std::ptrdiff_t>(n));
        m_waiting.erase(m_waiting.begin(), m_waiting.begin() + static_cast<std::ptrdiff_t>(n));
        if (n > 0)
            std::memcpy(buffer, chunk.data(), n); // past `max` the sanitizer would stop us
        log.push_back(std::move(chunk));
        return static_cast<int>(n);
    }
    bool isOpen() const override { return !lost(); }
    void close() override {}

private:
    Input& m_in;
    std::deque<std::uint8_t> m_waiting;
};

// What the link must hand out for the reads it made: 13 bytes in one read
// as they are, or pieces assembled to 13 with the lead byte first; nothing
// after a reply (or a refusal), nothing on a lost line.
struct Expected {
    int got = 0;
    Frame reply{};
    std::size_t readsUsed = 0;
};

Expected expectedFrom(const std::vector<std::vector<std::uint8_t>>& log)
{
    Expected e;
    std::size_t have = 0;
    for (const auto& chunk : log) {
        ++e.readsUsed;
        if (chunk.size() == kFrameSize) {
            std::memcpy(e.reply.data(), chunk.data(), kFrameSize);
            e.got = static_cast<int>(kFrameSize);
            return e;
        }
        const std::size_t take = std::min(chunk.size(), kFrameSize - have);
        if (take > 0)
            std::memcpy(e.reply.data() + have, chunk.data(), take);
        have += take;
        if (have == kFrameSize) {
            e.got = e.reply[0] == omnar::link::kLeadByte ? static_cast<int>(kFrameSize) : 0;
            return e;
        }
    }
    return e;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in{data, size};
    const std::uint8_t deviceId = in.next();
    const std::uint8_t flags = in.next();
    omnar::util::VirtualClock clock;
    omnar::link::Link link(clock);
    auto owned = std::make_unique<FuzzTransport>(in);
    FuzzTransport& line = *owned;
    link.setTransport(std::move(owned));
    omnar::panel::DeviceMirror mirror;

    for (int round = 0; round < 16 && !in.empty(); ++round) {
        const std::uint8_t how = in.next();
        const bool query = how & 0x01;
        const int timeoutMs = ((how >> 1) & 0x1F) * 100 + ((how & 0x40) ? 50 : 0);
        line.failWrites = how & 0x80;

        Frame reply;
        reply.fill(0xA5);
        const Frame before = reply;
        int got;
        if (query) {
            const Frame q = (how & 0x40) ? omnar::link::cmd::identQuery(deviceId)
                                         : omnar::link::cmd::statusQuery(deviceId);
            line.startCall();
            got = link.QueryCommand(&q, &reply, timeoutMs);
        } else {
            line.startCall();
            got = link.ReceiveReply(&reply, timeoutMs);
        }

        check(got == 0 || got == static_cast<int>(kFrameSize));
        if (query && !line.wrote) {
            // The stale input is thrown away in bounded reads; the line went
            // away meanwhile, so nothing was sent.
            check(got == 0 && line.lostInLog);
            check(line.log.size() <= static_cast<std::size_t>(omnar::link::Transport::kDiscardReadsMax));
        } else {
            check(line.log.size() <= static_cast<std::size_t>(timeoutMs / omnar::link::Link::kPollIntervalMs));
        }
        if (got == 0)
            check(reply == before); // a refused or missing reply is never handed out
        if (line.lostInLog || (query && line.failWrites)) {
            check(got == 0);
        } else {
            const Expected e = expectedFrom(line.log);
            check(got == e.got);
            if (e.got)
                check(reply == e.reply);
            if (e.readsUsed)
                check(line.log.size() == e.readsUsed); // no read after the reply
        }

        if (got == static_cast<int>(kFrameSize)) {
            (void)omnar::link::cmd::isIdentificationReply(reply);
            const auto decoded = omnar::panel::decodeStatus(reply, deviceId, mirror, flags & 1, flags & 2);
            if (!decoded.ignored)
                mirror = decoded.mirror;
        }
        if (link.lost())
            break;
    }
    return 0;
}
