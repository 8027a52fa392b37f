// The choice among the inverse transforms by what the processor offers, made at run time.
#include <initializer_list>

#include "plugin/idct.h"

namespace vantor {

InverseTransform VectorInverseDct(VectorLevel level) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (level == VectorLevel::kAvx2 && __builtin_cpu_supports("avx2")) return InverseDctAvx2;
    if (level == VectorLevel::kSse2 && __builtin_cpu_supports("sse2")) return InverseDctSse2;
#else
    (void)level;
#endif
    return nullptr;
}

InverseTransform FastInverseDct() {
    for (VectorLevel level : {VectorLevel::kAvx2, VectorLevel::kSse2}) {
        if (InverseTransform transform = VectorInverseDct(level)) return transform;
    }
    return IntegerInverseDct;
}

}  // namespace vantor
