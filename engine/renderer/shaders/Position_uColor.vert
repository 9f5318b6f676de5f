in vec4 a_position;
uniform float u_pointSize;

void main() {
    gl_Position = CC_MVPMatrix * a_position;
    gl_PointSize = u_pointSize;
}
