#pragma once
// Which vector instructions the byte scanners may use. Detected once per process; tests may
// switch AVX2 off to run the SSE2 code on any machine.
namespace zem {

bool simd_avx2();
void simd_allow_avx2(bool allow);

} // namespace zem
