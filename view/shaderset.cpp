#include "view/shaderset.h"

void ShaderSet::loadAll()
{
    programDefault.Init("shaderDefault.vert", "shaderDefault.frag");
    defaultPVM = programDefault.UniformLocation("PVM");

    programForPanel.Init("shaderForPanel.vert", "shaderDrawVeja.frag");
    panelProjectionMatrix = programForPanel.UniformLocation("ProjectionMatrix");
    panelViewMatrix = programForPanel.UniformLocation("ViewMatrix");
    panelModelMatrix = programForPanel.UniformLocation("ModelMatrix");
    panelLightPosition = programForPanel.UniformLocation("LightPosition");
    panelNormalModelMatrix = programForPanel.UniformLocation("NormalModelMatrix");
    panelPoPotrebiInvertirajNormale = programForPanel.UniformLocation("PoPotrebiInvertirajNormale");
    panelTekstura = programForPanel.UniformLocation("Tekstura");
    panelTeksturaE = programForPanel.UniformLocation("TeksturaE");
    panelAddColor = programForPanel.UniformLocation("AddColor");
    panelShadowMap = programForPanel.UniformLocation("shadowMap");
    panelShadowmat = programForPanel.UniformLocation("shadowmat");
    panelShadowE = programForPanel.UniformLocation("ShadowE");
    panelIntoQSumE = programForPanel.UniformLocation("intoQSumE");
    panelOsvetlitevE = programForPanel.UniformLocation("OsvetlitevE");

    programDrawTrans.InitWithGeometry("shaderDrawTrans.vert", "shaderDrawTrans.geo", "shaderDefault.frag", "");
    transPVM = programDrawTrans.UniformLocation("PVM");
    transCubeD = programDrawTrans.UniformLocation("CubeD");
    transAlfa = programDrawTrans.UniformLocation("alfa");

    programDrawTransCone.Init("shaderDrawTransCone.vert", "shaderDefault.frag");
    transConePVM = programDrawTransCone.UniformLocation("PVM");
    transConeAlfa = programDrawTransCone.UniformLocation("alfa");

    programDrawCylinder.InitWithGeometry("shaderDrawCylinder.vert", "shaderDrawCylinder.geo", "shaderDrawVeja.frag", "");
    cylinderPVM = programDrawCylinder.UniformLocation("PVM");
    cylinderTexture = programDrawCylinder.UniformLocation("Texture");
    cylinderTextureE = programDrawCylinder.UniformLocation("TextureE");
    cylinderShadowMap = programDrawCylinder.UniformLocation("shadowMap");
    cylinderShadowmat = programDrawCylinder.UniformLocation("shadowmat");
    cylinderLightPos = programDrawCylinder.UniformLocation("lightPos");
    cylinderAddColor = programDrawCylinder.UniformLocation("AddColor");
    cylinderTexRepeat = programDrawCylinder.UniformLocation("TexRepeat");
    cylinderTexXFrom = programDrawCylinder.UniformLocation("TexXFrom");
    cylinderTexXTo = programDrawCylinder.UniformLocation("TexXTo");
    cylinderOsvetlitevE = programDrawCylinder.UniformLocation("OsvetlitevE");

    programDrawVeja.InitWithGeometry("shaderDrawVeja.vert", "shaderDrawVeja.geo", "shaderDrawVeja.frag", "");
    vejaPVM = programDrawVeja.UniformLocation("PVM");
    vejaTexture = programDrawVeja.UniformLocation("Texture");
    vejaShadowMap = programDrawVeja.UniformLocation("shadowMap");
    vejaShadowmat = programDrawVeja.UniformLocation("shadowmat");
    vejaLightPos = programDrawVeja.UniformLocation("lightPos");
    vejaAddColor = programDrawVeja.UniformLocation("AddColor");
    vejaTexRepeat = programDrawVeja.UniformLocation("TexRepeat");
    vejaTexXFrom = programDrawVeja.UniformLocation("TexXFrom");
    vejaTexXTo = programDrawVeja.UniformLocation("TexXTo");
    vejaIntoQSumE = programDrawVeja.UniformLocation("intoQSumE");
    vejaOsvetlitevE = programDrawVeja.UniformLocation("OsvetlitevE");
    vejaShadowsE = programDrawVeja.UniformLocation("ShadowsE");
    vejaGrobiPrikaz = programDrawVeja.UniformLocation("GrobiPrikaz");
    vejaInsideShadowMapping = programDrawVeja.UniformLocation("InsideShadowMapping");
    vejaModelViewMatrix = programDrawVeja.UniformLocation("ModelViewMatrix");

    programDrawVejaPicking.InitWithGeometry("shaderDrawVeja.vert", "shaderDrawVeja.geo", "shaderDrawVejaPicking.frag",
                                            "");
    pickingPVM = programDrawVejaPicking.UniformLocation("PVM");
    pickingGrobiPrikaz = programDrawVejaPicking.UniformLocation("GrobiPrikaz");

    programDrawPokrivaloVeje.InitWithGeometry("shaderDrawPokrivaloVeje.vert", "shaderDrawPokrivaloVeje.geo",
                                              "shaderDrawVeja.frag", "");
    capPVM = programDrawPokrivaloVeje.UniformLocation("PVM");
    capTexture = programDrawPokrivaloVeje.UniformLocation("Texture");
    capShadowMap = programDrawPokrivaloVeje.UniformLocation("shadowMap");
    capShadowmat = programDrawPokrivaloVeje.UniformLocation("shadowmat");
    capLightPos = programDrawPokrivaloVeje.UniformLocation("lightPos");
    capAddColor = programDrawPokrivaloVeje.UniformLocation("AddColor");
    capOsvetlitevE = programDrawPokrivaloVeje.UniformLocation("OsvetlitevE");
    capGrobiPrikaz = programDrawPokrivaloVeje.UniformLocation("GrobiPrikaz");
    capInsideShadowMapping = programDrawPokrivaloVeje.UniformLocation("InsideShadowMapping");

    programGenList.InitWithGeometry("shaderGenList.vert", "shaderGenList.geo", "shaderDrawVeja.frag", "");
    leafPVM = programGenList.UniformLocation("PVM");
    leafTexture = programGenList.UniformLocation("Texture");
    leafShadowMap = programGenList.UniformLocation("shadowMap");
    leafShadowmat = programGenList.UniformLocation("shadowmat");
    leafLightPos = programGenList.UniformLocation("lightPos");
    leafAddColor = programGenList.UniformLocation("AddColor");
    leafOsvetlitevE = programGenList.UniformLocation("OsvetlitevE");
    leafGrobiPrikaz = programGenList.UniformLocation("GrobiPrikaz");
    leafInsideShadowMapping = programGenList.UniformLocation("InsideShadowMapping");
}
