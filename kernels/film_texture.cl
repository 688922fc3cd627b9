/* The texture effect's OpenCL kernels, built after the text of
 * film_texture.h: the glows' row and column phases and the composition, the
 * same arithmetic as the CPU render's. Pixels are RGBA floats, rows packed
 * bottom-up; every rectangle is given by its corner and size. */

/* One work item per row of the window grown by 3 * box: the source light
 * along the grown row, clamped to the source's edges, then three box passes.
 * `lines` holds two grown rows of scratch per work item. */
__kernel void textureGlowRows(__global const float* source, int sourceX1, int sourceY1, int sourceWidth,
                              int sourceHeight, int windowX1, int windowY1, int windowWidth, int rows, int box,
                              float threshold, __global uint* lines, __global uint* across) {
    const int r = get_global_id(0);
    if (r >= rows) return;
    const int n = windowWidth + 6 * box;
    __global uint* line = lines + (size_t)r * 2 * (size_t)n;
    __global uint* other = line + n;
    const int y = clamp(windowY1 - 3 * box + r, sourceY1, sourceY1 + sourceHeight - 1) - sourceY1;
    for (int i = 0; i < n; ++i) {
        const int x = clamp(windowX1 - 3 * box + i, sourceX1, sourceX1 + sourceWidth - 1) - sourceX1;
        __global const float* p = source + ((size_t)y * (size_t)sourceWidth + (size_t)x) * 4;
        line[i] = txGlowLight(txLuma(p[0], p[1], p[2]), threshold);
    }
    txBoxLine(line, other, n, 1, box);
    txBoxLine(other + box, line + box, n - 2 * box, 1, box);
    txBoxLine(line + 2 * box, other + 2 * box, n - 4 * box, 1, box);
    __global uint* target = across + (size_t)r * (size_t)windowWidth;
    for (int i = 0; i < windowWidth; ++i) target[i] = other[3 * box + i];
}

/* One work item per window column: three box passes down the grown rows,
 * the finished glow in rows [3 * box, rows - 3 * box) of `down`. */
__kernel void textureGlowColumns(__global uint* across, __global uint* down, int windowWidth, int rows, int box) {
    const int c = get_global_id(0);
    if (c >= windowWidth) return;
    txBoxLine(across + c, down + c, rows, windowWidth, box);
    txBoxLine(down + (size_t)box * windowWidth + c, across + (size_t)box * windowWidth + c, rows - 2 * box,
              windowWidth, box);
    txBoxLine(across + (size_t)2 * box * windowWidth + c, down + (size_t)2 * box * windowWidth + c, rows - 4 * box,
              windowWidth, box);
}

/* One work item per window pixel: glows, then grain, into the destination. */
__kernel void textureCompose(__global const float* source, int sourceX1, int sourceY1, int sourceWidth,
                             int sourceHeight, __global float* destination, int destinationX1, int destinationY1,
                             int destinationWidth, int windowX1, int windowY1, int windowWidth, int windowHeight,
                             __global const uint* halation, int halationBox, __global const uint* bloom, int bloomBox,
                             float sigmaR, float sigmaG, float sigmaB, float invCell, float originX, float originY,
                             uint grainKey, float halationR, float halationG, float halationB, float bloomGain) {
    const int i = get_global_id(0);
    const int j = get_global_id(1);
    if (i >= windowWidth || j >= windowHeight) return;
    TextureSettings s;
    s.grainSigma[0] = sigmaR;
    s.grainSigma[1] = sigmaG;
    s.grainSigma[2] = sigmaB;
    s.grainInvCell = invCell;
    s.frameOriginX = originX;
    s.frameOriginY = originY;
    s.grainKey = grainKey;
    s.halationBox = halationBox;
    s.halationThreshold = 0.0f;
    s.halationGain[0] = halationR;
    s.halationGain[1] = halationG;
    s.halationGain[2] = halationB;
    s.bloomBox = bloomBox;
    s.bloomThreshold = 0.0f;
    s.bloomGain = bloomGain;

    const int x = windowX1 + i;
    const int y = windowY1 + j;
    const int sx = clamp(x, sourceX1, sourceX1 + sourceWidth - 1) - sourceX1;
    const int sy = clamp(y, sourceY1, sourceY1 + sourceHeight - 1) - sourceY1;
    __global const float* in = source + ((size_t)sy * (size_t)sourceWidth + (size_t)sx) * 4;
    float rgb[3] = {in[0], in[1], in[2]};
    const uint h = halationBox > 0 ? halation[(size_t)(j + 3 * halationBox) * windowWidth + i] : 0U;
    const uint b = bloomBox > 0 ? bloom[(size_t)(j + 3 * bloomBox) * windowWidth + i] : 0U;
    if (halationBox > 0 || bloomBox > 0) txAddGlows(&s, h, b, rgb);
    if (sigmaR != 0.0f || sigmaG != 0.0f || sigmaB != 0.0f) txAddGrain(&s, x, y, rgb);
    __global float* out =
        destination + ((size_t)(y - destinationY1) * (size_t)destinationWidth + (size_t)(x - destinationX1)) * 4;
    out[0] = rgb[0];
    out[1] = rgb[1];
    out[2] = rgb[2];
    out[3] = in[3];
}
