in vec4 v_color;
in vec2 v_texCoord;
out vec4 fragColor;

void main() {
    fragColor = texture(CC_Texture0, v_texCoord) * v_color;
}
