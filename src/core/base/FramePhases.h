#pragma once
// Where the time of a frame goes: the update of a tick, chunk streaming
// (with the deferred jobs), the map's passes, the entities, the GUI and the
// flip. A phase is timed by a PhaseScope;
// scopes nest, and time spent in an inner phase is not counted again in the
// outer one, so the phases add up to the frame. The totals are kept per
// frame; EndFrame closes a frame, and when reporting is on, a line with the
// average of each phase is printed every few seconds.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

enum class FramePhase { Update, Streaming, Map, Entities, Gui, Flip, Count };

class FramePhases {
public:
    static constexpr int kCount = static_cast<int>(FramePhase::Count);
    using Clock = std::chrono::steady_clock;

    // Lower-case names in report order ("update", "streaming", ...).
    static const char* Name(FramePhase phase);

    void Enter(FramePhase phase);
    void Leave();

    // Closes a frame: its phase times are added to the running totals.
    // With reporting on, every `framesPerReport` frames a line goes to the
    // stream and the totals start again.
    void EndFrame();

    void SetReporting(bool on, int framesPerReport = 300, FILE* stream = stderr);
    bool IsReporting() const { return m_reporting; }

    // Totals since the last Reset (or report), in seconds, and the frames
    // they cover.
    double Total(FramePhase phase) const { return m_totals[static_cast<int>(phase)]; }
    int Frames() const { return m_frames; }
    void Reset();

    // "Frame phases over N frames (ms a frame): update 0.12, ..." without
    // the line end.
    std::string FormatReport() const;

private:
    void Charge(Clock::time_point now);

    static constexpr int kMaxDepth = 16;
    std::array<double, kCount> m_current{};
    std::array<double, kCount> m_totals{};
    std::array<int, kMaxDepth> m_stack{};
    int m_depth = 0;
    Clock::time_point m_mark{};
    int m_frames = 0;
    bool m_reporting = false;
    int m_framesPerReport = 300;
    FILE* m_stream = stderr;
};

// The program's one record.
FramePhases& GetFramePhases();

class PhaseScope {
public:
    explicit PhaseScope(FramePhase phase) { GetFramePhases().Enter(phase); }
    ~PhaseScope() { GetFramePhases().Leave(); }
    PhaseScope(const PhaseScope&) = delete;
    PhaseScope& operator=(const PhaseScope&) = delete;
};
