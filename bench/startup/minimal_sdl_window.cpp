// The baseline for start-up: the smallest SDL2 program that shows a 567 x 501 window and fills
// it, drawing into the window surface with the framebuffer acceleration off, as the program does.
#include <SDL.h>

int main() {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("baseline", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        567, 501, SDL_WINDOW_BORDERLESS);
  if (window == nullptr) return 1;
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 212, 208, 200));
  SDL_UpdateWindowSurface(window);
  SDL_Event event;
  while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
