#include "platform/crt/rand.h"

namespace crt {
namespace {
Lcg g_generator(1);
}  // namespace

void srand(unsigned int seed) { g_generator = Lcg(seed); }

int rand() { return g_generator.Next(); }

}  // namespace crt
