/* The least an X client can do to show a window's first frame: connect, map a 567 x 501 window
 * and put one image of it. The start-up measurement compares against it as the floor. */
#include <stdint.h>
#include <stdlib.h>
#include <xcb/xcb.h>

enum { kWidth = 567, kHeight = 501 };

static void PutFrame(xcb_connection_t* connection, const xcb_screen_t* screen, xcb_window_t window) {
  uint32_t* pixels = malloc((size_t)kWidth * kHeight * sizeof *pixels);
  if (pixels == NULL) exit(1);
  for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = 0xD4D0C8;
  xcb_gcontext_t gc = xcb_generate_id(connection);
  xcb_create_gc(connection, gc, window, 0, NULL);
  /* One image, sent in as few requests as the server's request length allows. */
  const uint32_t max_bytes = xcb_get_maximum_request_length(connection) * 4 - 64;
  int rows = (int)(max_bytes / (kWidth * 4));
  if (rows > kHeight) rows = kHeight;
  for (int y = 0; y < kHeight; y += rows) {
    const int band = y + rows > kHeight ? kHeight - y : rows;
    xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, kWidth, (uint16_t)band, 0,
                  (int16_t)y, 0, screen->root_depth, (uint32_t)(kWidth * band * 4),
                  (const uint8_t*)(pixels + (size_t)y * kWidth));
  }
  xcb_flush(connection);
  free(pixels);
}

int main(void) {
  xcb_connection_t* connection = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(connection)) return 1;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const xcb_window_t window = xcb_generate_id(connection);
  const uint32_t events = XCB_EVENT_MASK_EXPOSURE;
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, kWidth, kHeight,
                    0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                    &events);
  xcb_map_window(connection, window);
  xcb_flush(connection);
  xcb_generic_event_t* event;
  int drawn = 0;
  while ((event = xcb_wait_for_event(connection)) != NULL) {
    if ((event->response_type & 0x7F) == XCB_EXPOSE && !drawn) {
      PutFrame(connection, screen, window);
      drawn = 1;
    }
    free(event);
  }
  xcb_disconnect(connection);
  return 0;
}
