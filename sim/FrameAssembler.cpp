#include "sim/FrameAssembler.h"

#include <algorithm>

namespace omnar::sim {

void FrameAssembler::feed(const std::uint8_t* data, std::size_t n, const FrameSink& onFrame,
                          const GarbageSink& onGarbage)
{
    auto flushGarbage = [&] {
        if (!m_garbage.empty() && onGarbage)
            onGarbage(m_garbage);
        m_garbage.clear();
    };

    m_buffer.insert(m_buffer.end(), data, data + n);
    for (;;) {
        // Skip to the next lead byte.
        while (!m_buffer.empty() && m_buffer.front() != link::kLeadByte) {
            m_garbage.push_back(m_buffer.front());
            m_buffer.pop_front();
        }
        if (m_buffer.size() < link::kFrameSize)
            break;
        link::Frame f{};
        std::copy_n(m_buffer.begin(), link::kFrameSize, f.begin());
        if (link::frameChecksum(f) != f[link::kChecksumIndex]) {
            m_garbage.push_back(m_buffer.front());
            m_buffer.pop_front();
            continue;
        }
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + link::kFrameSize);
        flushGarbage();
        onFrame(f);
    }
    flushGarbage();
}

void FrameAssembler::reset()
{
    m_buffer.clear();
    m_garbage.clear();
}

} // namespace omnar::sim
