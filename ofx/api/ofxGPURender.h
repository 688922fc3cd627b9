#ifndef OFX_GPU_RENDER_H
#define OFX_GPU_RENDER_H

/* GPU rendering extension: with a back-end enabled for a render, the image data
   pointers are device memory of that back-end (CUDA device pointers, OpenCL cl_mem
   buffers, Metal buffers). The "...RenderSupported" properties hold "false", "true"
   or "needed". */

#include "ofxCore.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kOfxImageEffectPropOpenGLRenderSupported "OfxImageEffectPropOpenGLRenderSupported"
#define kOfxImageEffectPropOpenGLEnabled "OfxImageEffectPropOpenGLEnabled"
#define kOfxImageEffectPropOpenGLTextureIndex "OfxImageEffectPropOpenGLTextureIndex"
#define kOfxImageEffectPropOpenGLTextureTarget "OfxImageEffectPropOpenGLTextureTarget"

#define kOfxImageEffectPropOpenCLRenderSupported "OfxImageEffectPropOpenCLRenderSupported"
#define kOfxImageEffectPropOpenCLSupported "OfxImageEffectPropOpenCLSupported"
#define kOfxImageEffectPropOpenCLEnabled "OfxImageEffectPropOpenCLEnabled"
#define kOfxImageEffectPropOpenCLCommandQueue "OfxImageEffectPropOpenCLCommandQueue"
#define kOfxImageEffectPropOpenCLImage "OfxImageEffectPropOpenCLImage"

#define kOfxImageEffectPropCudaRenderSupported "OfxImageEffectPropCudaRenderSupported"
#define kOfxImageEffectPropCudaEnabled "OfxImageEffectPropCudaEnabled"
#define kOfxImageEffectPropCudaStreamSupported "OfxImageEffectPropCudaStreamSupported"
#define kOfxImageEffectPropCudaStream "OfxImageEffectPropCudaStream"

#define kOfxImageEffectPropMetalRenderSupported "OfxImageEffectPropMetalRenderSupported"
#define kOfxImageEffectPropMetalEnabled "OfxImageEffectPropMetalEnabled"
#define kOfxImageEffectPropMetalCommandQueue "OfxImageEffectPropMetalCommandQueue"

#ifdef __cplusplus
}
#endif

#endif
