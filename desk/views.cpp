#include "desk/views.h"

#include <algorithm>

namespace ravelin::desk {

WindowPlace fitIntoScreen(WindowPlace place, const WindowPlace& available) {
  place.width = std::min(place.width, available.width);
  place.height = std::min(place.height, available.height);
  place.left = std::clamp(place.left, available.left, available.left + available.width - place.width);
  place.top = std::clamp(place.top, available.top, available.top + available.height - place.height);
  return place;
}

}  // namespace ravelin::desk
