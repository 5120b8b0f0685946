#pragma once

namespace endomira {

// Whether a window's own change events may refresh its list. The window shuts the gate while it
// sets its filter fields itself, so that one operator action refreshes the list once.
class TRefreshGate {
public:
    bool Open() const { return Open_ && Closed_ == 0; }
    void SetOpen(bool open) { Open_ = open; }

    // Keeps the gate shut for its lifetime; nests.
    class TShut {
    public:
        explicit TShut(TRefreshGate& gate) : Gate_(gate) { ++Gate_.Closed_; }
        ~TShut() { --Gate_.Closed_; }
        TShut(const TShut&) = delete;
        TShut& operator=(const TShut&) = delete;

    private:
        TRefreshGate& Gate_;
    };

private:
    bool Open_ = false;
    int Closed_ = 0;
};

} // namespace endomira
