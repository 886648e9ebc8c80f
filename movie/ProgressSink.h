#pragma once
// A progress display the movie drives while it serialises itself: a maximum,
// a position and a step whose size the caller chooses.

namespace pictova {

class TProgressSink {
public:
    virtual ~TProgressSink() = default;
    virtual void SetMax(int max) = 0;
    virtual int Max() const = 0;
    virtual void SetPosition(int position) = 0;
    virtual void Step() = 0;
};

} // namespace pictova
