// SPDX-License-Identifier: MIT
// The one window, its video modes and the blocking screen effects.
#ifndef KORVALEND_SCREEN_H
#define KORVALEND_SCREEN_H

enum FadeType { IN = 0, OUT = 1 };

class Screen {
public:
    static Screen* GetInstance();

    void Init();
    void ToggleFullScreen();
    void IncreaseResolution();
    void DecreaseResolution();
    void Fade(FadeType type, double fadeTime);
    void FadeIn() { Fade(IN, 0.5); }
    void FadeOut() { Fade(OUT, 0.5); }
    bool DelayInteractively(int mils);

    // The mode Init opens first (remembered settings and options); without
    // a call, full screen at 800x600 as always.
    void ChooseStartMode(bool fullScreen, int fullScreenMode, int windowedMode);
    // The cursor hidden and the mouse kept in the window, or let go.
    void TakeInput();
    void ReleaseInput();
    // While free (a screen of choices is open) the pointer shows and the
    // mouse may leave the window; taking the input keeps it so.
    void FreePointer(bool free);
    // Vertical sync as the player chose it (and the environment allows):
    // set before Init, or changed at once by entering the mode again.
    void SetVerticalSync(bool on);
    bool VerticalSync() const { return verticalSync; }
    // The mode now open, 0 ... 5, and another entered at once (refused:
    // the game goes on in the one it had).
    int VideoMode() const { return inFullScreen ? fullScreenVideoMode : windowedVideoMode; }
    void SetVideoMode(int mode);

    int FullScreenVideoMode() const { return fullScreenVideoMode; }
    int WindowedVideoMode() const { return windowedVideoMode; }
    bool InFullScreen() const { return inFullScreen; }

private:
    Screen() : fullScreenVideoMode(1), windowedVideoMode(1), inFullScreen(false) {}
    bool EnterVideoMode(int mode, bool fullScreen);
    void InitOpenGL();

    bool OpenAnyMode();
    void Entered(int mode, bool fullScreen);

    static Screen* instance;
    bool startFullScreen = true;
    bool verticalSync = true;
    int fullScreenVideoMode;
    int windowedVideoMode;
    bool inFullScreen;
};

#endif
