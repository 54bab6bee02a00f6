#pragma once
// A channel attribute that can slide linearly to a new value over time.

namespace ovelaudio {

class Attribute {
public:
    explicit Attribute(float value) : value_(value) {}

    void Set(float value)
    {
        value_ = value;
        remaining_ = 0.0;
    }

    // A new set or slide replaces a running slide.
    void Slide(float target, double seconds)
    {
        if (seconds <= 0.0)
            return Set(target);
        start_ = value_;
        target_ = target;
        duration_ = seconds;
        remaining_ = seconds;
    }

    void Advance(double seconds)
    {
        if (remaining_ <= 0.0)
            return;
        remaining_ -= seconds;
        const double done = remaining_ <= 0.0 ? 1.0 : 1.0 - remaining_ / duration_;
        value_ = static_cast<float>(start_ + (target_ - start_) * done);
    }

    float Value() const { return value_; }

private:
    float value_;
    double start_ = 0.0;
    double target_ = 0.0;
    double duration_ = 0.0;
    double remaining_ = 0.0;
};

}  // namespace ovelaudio
