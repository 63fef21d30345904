// The pseudo-random generator of the shredder: the C library's rand rule, seeded per file.
#pragma once

class PatternGenerator {
public:
    void Seed(unsigned long seed) { state_ = static_cast<unsigned>(seed); }
    int Next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }
    // The whole state: Seed(State()) continues the sequence where it stands.
    unsigned State() const { return state_; }

private:
    unsigned state_ = 1;
};

