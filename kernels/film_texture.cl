/* The texture effect's OpenCL kernels, built after the text of
 * film_texture.h: the glows' row and column phases and the composition, the
 * same arithmetic as the CPU render's. Pixels are RGBA floats, rows packed
 * bottom-up; every rectangle is given by its corner and size. */

/* One work item per row of light cells: the light of each cell of the row
 * (the mean over its pixels, read clamped to the source's edges; a pixel at
 * shift 0), then three box passes. The row's finished cells, those 3 * box
 * in from either end, go to `across`. `lines` holds two rows of scratch per
 * work item. */
__kernel void textureGlowRows(__global const float* source, int sourceX1, int sourceY1, int sourceWidth,
                              int sourceHeight, int lightX1, int lightY1, int lightWidth, int rows, int box, int shift,
                              float threshold, __global uint* lines, __global uint* across) {
    const int r = get_global_id(0);
    if (r >= rows) return;
    const int n = lightWidth;
    const int size = 1 << shift;
    __global uint* line = lines + (size_t)r * 2 * (size_t)n;
    __global uint* other = line + n;
    for (int i = 0; i < n; ++i) {
        uint sum = 0U;
        for (int dy = 0; dy < size; ++dy) {
            const int y = clamp((lightY1 + r) * size + dy, sourceY1, sourceY1 + sourceHeight - 1) - sourceY1;
            for (int dx = 0; dx < size; ++dx) {
                const int x = clamp((lightX1 + i) * size + dx, sourceX1, sourceX1 + sourceWidth - 1) - sourceX1;
                __global const float* p = source + ((size_t)y * (size_t)sourceWidth + (size_t)x) * 4;
                sum += txGlowLight(txLuma(p[0], p[1], p[2]), threshold);
            }
        }
        line[i] = txCellMean(sum, shift);
    }
    txBoxLine(line, other, n, 1, box);
    txBoxLine(other + box, line + box, n - 2 * box, 1, box);
    txBoxLine(line + 2 * box, other + 2 * box, n - 4 * box, 1, box);
    const int width = n - 6 * box;
    __global uint* target = across + (size_t)r * (size_t)width;
    for (int i = 0; i < width; ++i) target[i] = other[3 * box + i];
}

/* One work item per column of finished cells: three box passes down the
 * light rows, the finished glow in rows [3 * box, rows - 3 * box) of `down`. */
__kernel void textureGlowColumns(__global uint* across, __global uint* down, int width, int rows, int box) {
    const int c = get_global_id(0);
    if (c >= width) return;
    txBoxLine(across + c, down + c, rows, width, box);
    txBoxLine(down + (size_t)box * width + c, across + (size_t)box * width + c, rows - 2 * box, width, box);
    txBoxLine(across + (size_t)2 * box * width + c, down + (size_t)2 * box * width + c, rows - 4 * box, width, box);
}

/* One work item per window pixel: glows, then grain, into the destination. */
__kernel void textureCompose(__global const float* source, int sourceX1, int sourceY1, int sourceWidth,
                             int sourceHeight, __global float* destination, int destinationX1, int destinationY1,
                             int destinationWidth, int windowX1, int windowY1, int windowWidth, int windowHeight,
                             __global const uint* halation, int halationBox, int halationShift, int halationX1,
                             int halationY1, int halationWidth, __global const uint* bloom, int bloomBox,
                             int bloomShift, int bloomX1, int bloomY1, int bloomWidth, float sigmaR, float sigmaG,
                             float sigmaB, float invCell, float originX, float originY, uint grainKey, float halationR,
                             float halationG, float halationB, float bloomGain) {
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
    s.halationShift = halationShift;
    s.halationThreshold = 0.0f;
    s.halationGain[0] = halationR;
    s.halationGain[1] = halationG;
    s.halationGain[2] = halationB;
    s.bloomBox = bloomBox;
    s.bloomShift = bloomShift;
    s.bloomThreshold = 0.0f;
    s.bloomGain = bloomGain;

    const int x = windowX1 + i;
    const int y = windowY1 + j;
    const int sx = clamp(x, sourceX1, sourceX1 + sourceWidth - 1) - sourceX1;
    const int sy = clamp(y, sourceY1, sourceY1 + sourceHeight - 1) - sourceY1;
    __global const float* in = source + ((size_t)sy * (size_t)sourceWidth + (size_t)sx) * 4;
    float rgb[3] = {in[0], in[1], in[2]};
    const uint h = halationBox > 0
                       ? txGlowAt(halation, halationWidth, halationX1, halationY1, 3 * halationBox, halationShift, x, y)
                       : 0U;
    const uint b = bloomBox > 0 ? txGlowAt(bloom, bloomWidth, bloomX1, bloomY1, 3 * bloomBox, bloomShift, x, y) : 0U;
    if (halationBox > 0 || bloomBox > 0) txAddGlows(&s, h, b, rgb);
    if (sigmaR != 0.0f || sigmaG != 0.0f || sigmaB != 0.0f) txAddGrain(&s, x, y, rgb);
    __global float* out =
        destination + ((size_t)(y - destinationY1) * (size_t)destinationWidth + (size_t)(x - destinationX1)) * 4;
    out[0] = rgb[0];
    out[1] = rgb[1];
    out[2] = rgb[2];
    out[3] = in[3];
}
