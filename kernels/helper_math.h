#ifndef TONEMILL_HELPER_MATH_H
#define TONEMILL_HELPER_MATH_H

#if !defined(TONEMILL_LUT_CUDA_H)
#error "helper_math.h is part of lut_cuda.h: include that instead"
#endif

/* Vector helpers for the C++ and CUDA builds of the kernel source. OpenCL C
 * has float4, its constructor syntax and the arithmetic operators built in,
 * so the OpenCL program never sees this file: lut_cuda.h includes it only
 * for the other two targets, inside the kernel namespace. */

#if defined(__CUDACC__)
/* CUDA brings float4 and make_float4 with its runtime headers. */
TM_FUNC float4 operator+(float4 a, float4 b) {
    return make_float4(a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w);
}

TM_FUNC float4 operator-(float4 a, float4 b) {
    return make_float4(a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w);
}

TM_FUNC float4 operator*(float s, float4 v) {
    return make_float4(s * v.x, s * v.y, s * v.z, s * v.w);
}

TM_FUNC float4 operator*(float4 v, float s) {
    return make_float4(v.x * s, v.y * s, v.z * s, v.w * s);
}
#else
/* Four lanes of one type: a colour of one pixel (float4, layout-compatible
 * with CUDA's) or of several pixels at once. It lives in namespace
 * ChromvaleBeta2, so it never collides with CUDA's global float4 in a file
 * that sees both. */
template <typename F>
struct alignas(alignof(F) > 16 ? alignof(F) : 16) TmColour {
    F x, y, z, w;
};

typedef TmColour<float> float4;

template <typename F>
TM_FUNC TmColour<F> tmColour(F x, F y, F z, F w) {
    TmColour<F> v = {x, y, z, w};
    return v;
}

TM_FUNC float4 make_float4(float x, float y, float z, float w) {
    return tmColour(x, y, z, w);
}

template <typename F>
TM_FUNC TmColour<F> operator+(TmColour<F> a, TmColour<F> b) {
    return tmColour<F>(a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w);
}

template <typename F>
TM_FUNC TmColour<F> operator-(TmColour<F> a, TmColour<F> b) {
    return tmColour<F>(a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w);
}

template <typename F>
TM_FUNC TmColour<F> operator*(float s, TmColour<F> v) {
    return tmColour<F>(s * v.x, s * v.y, s * v.z, s * v.w);
}

template <typename F>
TM_FUNC TmColour<F> operator*(TmColour<F> v, float s) {
    return tmColour<F>(v.x * s, v.y * s, v.z * s, v.w * s);
}
#endif

#endif
