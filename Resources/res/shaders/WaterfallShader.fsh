// Each texel of the hit-count picture is one cell of the level grid. The cell's centre is
// sampled (no blending between neighbours), and when cells are drawn several pixels large a thin
// darker seam separates them, so single hits stay readable as distinct cells.
uniform vec2 textureSize;
in vec4 v_color;
in vec2 v_texCoord;
out vec4 fragColor;

void main() {
    vec2 cell = v_texCoord * textureSize;
    vec2 centre = (floor(cell) + 0.5) / textureSize;
    vec4 texel = texture(CC_Texture0, centre);
    // Pixels per cell along each axis; seams only where a cell spans at least 4 pixels.
    vec2 perPixel = fwidth(cell);
    vec2 edge = min(fract(cell), 1.0 - fract(cell)) / max(perPixel, vec2(1e-6));
    float seam = 1.0;
    if (perPixel.x < 0.25 && edge.x < 0.5)
        seam = 0.7;
    if (perPixel.y < 0.25 && edge.y < 0.5)
        seam = 0.7;
    fragColor = vec4(texel.rgb * seam, texel.a) * v_color;
}
