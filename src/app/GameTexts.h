// The game's own console texts: the outcome lines, the console pause's prompt and the lines
// the render toggles and the mute key print. One home, so the tests read what the game says.
#pragma once

namespace varn::app::text {

inline constexpr char kEnemyReached[] = "An enemy reached your position!";
inline constexpr const char* kVictoryLines[] = {
    "BOOOOOOOOM!",
    "You have destroyed the factory and stopped the evil robot invasion!",
    "Thanks a lot! You are a hero!",
};
inline constexpr const char* kLostLines[] = {"You lost!", "Please try again!"};
inline constexpr char kPausePrompt[] = "Press any key to continue . . .";

// F3
inline constexpr char kWireframeOn[] = "Wireframe mode turned on";
inline constexpr char kWireframeOff[] = "Wireframe mode turned off";
// F4, by textureFilterMode (0 nearest, 1 bilinear)
inline constexpr const char* kTextureFilterLines[] = {"Texture Sampling Quality: Nearest Neighbour",
                                                      "Texture Sampling Quality: Bilinear"};
// F5, by mipmapMode (0 off, 1 nearest, 2 bilinear)
inline constexpr const char* kMipmapLines[] = {"MipMap Quality: OFF", "MipMap Sampling Quality: Nearest Neighbour",
                                               "MipMap Sampling Quality: Bilinear"};
// F6 and F7
inline constexpr char kAmbientDecreased[] = "Ambient Light Strength decreased";
inline constexpr char kAmbientIncreased[] = "Ambient Light Strength increased";
// F8 and F9
inline constexpr char kCullingOn[] = "Viewfrustum Culling: ON";
inline constexpr char kCullingOff[] = "Viewfrustum Culling: OFF";
inline constexpr char kTransparencyOn[] = "Transparency: ON";
inline constexpr char kTransparencyOff[] = "Transparency: OFF";
// M
inline constexpr char kSoundOn[] = "Sound: ON";
inline constexpr char kSoundOff[] = "Sound: OFF";

}  // namespace varn::app::text
