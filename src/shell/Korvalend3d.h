// SPDX-License-Identifier: MIT
// Everything the game shell uses, in one include.
#ifndef KORVALEND_KORVALEND3D_H
#define KORVALEND_KORVALEND3D_H

#include "assets/Model.h"
#include "assets/ModelServer.h"
#include "assets/Texture.h"
#include "assets/TextureServer.h"
#include "audio/Music.h"
#include "audio/Sound.h"
#include "audio/SoundLibrary.h"
#include "math/MyMath.h"
#include "render/Bitmap.h"
#include "render/Camera.h"
#include "render/GraphicsEngine.h"
#include "render/HUD.h"
#include "render/ImageServer.h"
#include "render/ParticleEngine.h"
#include "render/Screen.h"
#include "world/Object.h"
#include "world/Objects.h"
#include "world/Player.h"
#include "world/Rules.h"
#include "sys/Feed.h"
#include "shell/Recording.h"
#include "shell/GameStates.h"
#include "shell/Globals.h"
#include "shell/Make.h"
#include "shell/MyError.h"
#include "shell/Timer.h"

#endif
