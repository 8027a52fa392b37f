// The choice of the bitmap row conversion by what the processor offers, made at run time.
#include "plugin/planes.h"

namespace vantor {

RowConversion VectorRowToBgr() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return ConvertRowToBgrAvx2;
#endif
    return nullptr;
}

}  // namespace vantor
