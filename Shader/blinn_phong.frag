// Simple material: one point light, ambient plus diffuse plus a Blinn-Phong highlight.
#version 430 core

in vec3 worldPosition;
in vec3 worldNormal;

out vec4 fragColor;

uniform vec3 cameraPosition;
uniform vec3 lightPosition;
uniform vec3 light_ambient;
uniform vec3 light_diffuse;
uniform vec3 material_color;
uniform vec3 material_ambient;
uniform vec3 material_diffuse;
uniform vec3 material_specular;
uniform float material_shininess;

void main() {
  vec3 n = normalize(worldNormal);
  vec3 l = normalize(lightPosition - worldPosition);
  vec3 v = normalize(cameraPosition - worldPosition);
  vec3 h = normalize(l + v);

  float diffuse = max(dot(n, l), 0.0);
  float specular = diffuse > 0.0 ? pow(max(dot(n, h), 0.0), material_shininess) : 0.0;

  vec3 colour = material_color * (light_ambient * material_ambient + light_diffuse * material_diffuse * diffuse) +
                light_diffuse * material_specular * specular;
  fragColor = vec4(colour, 1.0);
}
