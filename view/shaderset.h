#pragma once
// The nine GLSL programs of the renderer and the uniform locations the drawing
// code sets, looked up once when the view's OpenGL context is first set up.
//
// A location is -1 where the linked program has no active uniform of that name;
// writing to -1 does nothing. Texture, TextureE and ShadowE are never declared
// (the samplers are Tekstura and TeksturaE, the switch is ShadowsE), and the
// names that only feed values no later stage reads are dropped by the linker.
//
// Uniform types: matrices mat4; AddColor vec4; lightPos, LightPosition and
// CubeD vec3; TexRepeat, TexXFrom, TexXTo and alfa float; the switches
// (OsvetlitevE, ShadowsE, TeksturaE, intoQSumE, GrobiPrikaz,
// InsideShadowMapping, PoPotrebiInvertirajNormale) and the samplers (Tekstura,
// shadowMap: texture units) int.

#include "view/shaderprogram.h"

struct ShaderSet {
    // shaderDefault.vert, shaderDefault.frag: coloured lines and triangles.
    ShaderProgram programDefault;
    int defaultPVM = -1;

    // shaderDrawPokrivaloVeje.vert/.geo, shaderDrawVeja.frag: cut caps.
    ShaderProgram programDrawPokrivaloVeje;
    int capPVM = -1;
    int capTexture = -1;
    int capShadowMap = -1;
    int capShadowmat = -1;
    int capLightPos = -1;
    int capAddColor = -1;
    int capOsvetlitevE = -1;
    int capGrobiPrikaz = -1;
    int capInsideShadowMapping = -1;

    // shaderGenList.vert/.geo, shaderDrawVeja.frag: leaves.
    ShaderProgram programGenList;
    int leafPVM = -1;
    int leafTexture = -1;
    int leafShadowMap = -1;
    int leafShadowmat = -1;
    int leafLightPos = -1;
    int leafAddColor = -1;
    int leafOsvetlitevE = -1;
    int leafGrobiPrikaz = -1;
    int leafInsideShadowMapping = -1;

    // shaderDrawCylinder.vert/.geo, shaderDrawVeja.frag: ropes, spreaders,
    // highlighted path and measuring lines.
    ShaderProgram programDrawCylinder;
    int cylinderPVM = -1;
    int cylinderTexture = -1;
    int cylinderTextureE = -1;
    int cylinderShadowMap = -1;
    int cylinderShadowmat = -1;
    int cylinderLightPos = -1;
    int cylinderAddColor = -1;
    int cylinderTexRepeat = -1;
    int cylinderTexXFrom = -1;
    int cylinderTexXTo = -1;
    int cylinderOsvetlitevE = -1;

    // shaderDrawVeja.vert/.geo/.frag: the branches.
    ShaderProgram programDrawVeja;
    int vejaPVM = -1;
    int vejaTexture = -1;
    int vejaShadowMap = -1;
    int vejaShadowmat = -1;
    int vejaLightPos = -1;
    int vejaAddColor = -1;
    int vejaTexRepeat = -1;
    int vejaTexXFrom = -1;
    int vejaTexXTo = -1;
    int vejaIntoQSumE = -1;
    int vejaOsvetlitevE = -1;
    int vejaShadowsE = -1;
    int vejaGrobiPrikaz = -1;
    int vejaInsideShadowMapping = -1;
    int vejaModelViewMatrix = -1;

    // shaderDrawVeja.vert/.geo, shaderDrawVejaPicking.frag: pick ids into an
    // integer target.
    ShaderProgram programDrawVejaPicking;
    int pickingPVM = -1;
    int pickingGrobiPrikaz = -1;

    // shaderDrawTrans.vert/.geo, shaderDefault.frag: the environment display.
    ShaderProgram programDrawTrans;
    int transPVM = -1;
    int transCubeD = -1;
    int transAlfa = -1;

    // shaderDrawTransCone.vert, shaderDefault.frag: built, but no drawing uses it.
    ShaderProgram programDrawTransCone;
    int transConePVM = -1;
    int transConeAlfa = -1;

    // shaderForPanel.vert, shaderDrawVeja.frag: ground, sky, ruler, models,
    // overlays.
    ShaderProgram programForPanel;
    int panelProjectionMatrix = -1;
    int panelViewMatrix = -1;
    int panelModelMatrix = -1;
    int panelLightPosition = -1;
    int panelNormalModelMatrix = -1;
    int panelPoPotrebiInvertirajNormale = -1;
    int panelTekstura = -1;
    int panelTeksturaE = -1;
    int panelAddColor = -1;
    int panelShadowMap = -1;
    int panelShadowmat = -1;
    int panelShadowE = -1;
    int panelIntoQSumE = -1;
    int panelOsvetlitevE = -1;

    // Builds the nine programs and looks up their locations. Called once, with
    // the context current and the core entry points loaded.
    void loadAll();
};
