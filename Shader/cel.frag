// Cel shading for the robots: the light that reaches a surface (after the shadow
// lookup) falls into a few hard bands, and the highlight is either on or off.
#version 430 core

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 uv;
in vec4 shadowCoord;

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
uniform sampler2D texture_diffuse1;
uniform sampler2DShadow shadowMap;  // depth comparison, GL_LESS: 1 where the surface is lit

const vec3 kFill = vec3(0.16);    // light that reaches every surface, independent of the toggles
const float kDepthBias = 0.0004;  // on top of the shadow pass's polygon offset
const float kLightSaturation = 0.85;  // the lamps' red tint, softened so textures keep their colours
const float kSpecularStrength = 0.5;

// 1 where the nearest light sees the surface, 0 where a caster hides it; whatever
// the light's map does not cover reads as lit.
float shadowFactor(vec4 coord) {
  if (coord.w <= 0.0) return 1.0;
  vec3 p = coord.xyz / coord.w;
  if (p.x < 0.0 || p.x > 1.0 || p.y < 0.0 || p.y > 1.0 || p.z >= 1.0) return 1.0;
  float reference = p.z - kDepthBias;
  // The depth texture filters linearly, so one lookup already blends the comparisons
  // of the four nearest texels: a soft edge for the price of one fetch.
  return texture(shadowMap, vec3(p.xy, reference));
}

// Hard steps of the light that arrives (falloff included, so a robot under a light sits
// in the top band and one far from it drops a band); the lowest keeps unlit sides readable.
float diffuseBand(float amount) {
  if (amount > 0.6) return 1.0;
  if (amount > 0.35) return 0.7;
  if (amount > 0.12) return 0.4;
  return 0.1;
}

void main() {
  // A mesh without a texture leaves unit 0 empty (size 0): it takes the material colour alone.
  vec3 base = material_color;
  if (textureSize(texture_diffuse1, 0).x > 0) base *= texture(texture_diffuse1, uv).rgb;

  vec3 n = normalize(worldNormal);
  vec3 toLight = lightPosition - worldPosition;
  float distance = length(toLight);
  vec3 l = toLight / distance;
  vec3 v = normalize(cameraPosition - worldPosition);
  vec3 h = normalize(l + v);

  float attenuation = 1.0 / (1.0 + 0.02 * distance + 0.003 * distance * distance);
  float diffuse = max(dot(n, l), 0.0);
  float lit = diffuse > 0.0 ? shadowFactor(shadowCoord) : 0.0;
  // Shadowed or not is a hard decision too, so the filtered edge does not smear the bands.
  float band = diffuseBand(diffuse * attenuation * step(0.5, lit));
  float specular = diffuse > 0.0 ? pow(max(dot(n, h), 0.0), material_shininess) : 0.0;
  float highlight = step(0.4, specular) * step(0.5, lit);

  vec3 ambient = light_ambient * material_ambient + kFill;
  vec3 lamp = mix(vec3(max(light_diffuse.r, max(light_diffuse.g, light_diffuse.b))), light_diffuse, kLightSaturation);
  vec3 colour = base * (ambient + lamp * material_diffuse * band) +
                lamp * material_specular * highlight * kSpecularStrength;
  fragColor = vec4(colour, 1.0);
}
