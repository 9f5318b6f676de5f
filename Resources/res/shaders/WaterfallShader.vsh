// Texel-exact persistence picture: the vertex stage only passes the sprite's quad through.
in vec4 a_position;
in vec4 a_color;
in vec2 a_texCoord;
out vec4 v_color;
out vec2 v_texCoord;

void main() {
    gl_Position = CC_MVPMatrix * a_position;
    v_color = a_color;
    v_texCoord = a_texCoord;
}
