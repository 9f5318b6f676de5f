in vec4 v_color;
out vec4 fragColor;
// Node opacity, applied here so draw nodes need not rebuild their vertices when they fade.
uniform float u_alpha;

void main() {
    fragColor = vec4(v_color.rgb, v_color.a * u_alpha);
}
