// Shadow pass: places a caster in the clip space of the light nearest the robot.
#version 430 core

layout(location = 0) in vec3 position;

uniform mat4 M_Vl_Pl_Matrix;  // light projection x light view x model

void main() {
  gl_Position = M_Vl_Pl_Matrix * vec4(position, 1.0);
}
