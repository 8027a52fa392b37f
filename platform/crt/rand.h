// The one random generator of the program. Its rule is fixed so that a seed always deals the
// same boards: state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF.
#pragma once

namespace crt {

constexpr int RAND_MAX_VALUE = 0x7FFF;

// Sets the state; the generator starts as if seeded with 1.
void srand(unsigned int seed);
// Advances the state and returns 0..32767.
int rand();

// The same rule as a value, for code that wants its own sequence (tests, tools).
class Lcg {
  public:
    explicit Lcg(unsigned int seed = 1) : m_state(seed) {}
    int Next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }
    unsigned int State() const { return m_state; }

  private:
    unsigned int m_state;
};

}  // namespace crt
