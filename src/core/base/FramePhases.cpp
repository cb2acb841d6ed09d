#include "core/base/FramePhases.h"

namespace {

const char* const kNames[FramePhases::kCount] = {"update", "streaming", "map", "entities", "gui", "flip"};

}  // namespace

const char* FramePhases::Name(FramePhase phase) {
    int index = static_cast<int>(phase);
    return index >= 0 && index < kCount ? kNames[index] : "";
}

void FramePhases::Charge(Clock::time_point now) {
    int top = (m_depth < kMaxDepth ? m_depth : kMaxDepth) - 1;
    if (top >= 0) m_current[m_stack[top]] += std::chrono::duration<double>(now - m_mark).count();
    m_mark = now;
}

void FramePhases::Enter(FramePhase phase) {
    Charge(Clock::now());
    // Past the deepest level the deepest phase kept keeps the time.
    if (m_depth < kMaxDepth) m_stack[m_depth] = static_cast<int>(phase);
    ++m_depth;
}

void FramePhases::Leave() {
    if (m_depth == 0) return;
    Charge(Clock::now());
    --m_depth;
}

void FramePhases::EndFrame() {
    for (int i = 0; i < kCount; ++i) {
        m_totals[i] += m_current[i];
        m_current[i] = 0;
    }
    ++m_frames;
    if (m_reporting && m_framesPerReport > 0 && m_frames >= m_framesPerReport) {
        std::fprintf(m_stream, "%s\n", FormatReport().c_str());
        std::fflush(m_stream);
        Reset();
    }
}

void FramePhases::SetReporting(bool on, int framesPerReport, FILE* stream) {
    m_reporting = on;
    m_framesPerReport = framesPerReport;
    m_stream = stream ? stream : stderr;
}

void FramePhases::Reset() {
    m_totals.fill(0);
    m_frames = 0;
}

std::string FramePhases::FormatReport() const {
    std::string line = "Frame phases over " + std::to_string(m_frames) + " frames (ms a frame):";
    double sum = 0;
    for (int i = 0; i < kCount; ++i) {
        double ms = m_frames > 0 ? m_totals[i] * 1000.0 / m_frames : 0.0;
        sum += ms;
        char part[48];
        std::snprintf(part, sizeof part, "%s %s %.2f", i == 0 ? "" : ",", kNames[i], ms);
        line += part;
    }
    char total[32];
    std::snprintf(total, sizeof total, ", total %.2f", sum);
    return line + total;
}

FramePhases& GetFramePhases() {
    static FramePhases phases;
    return phases;
}
