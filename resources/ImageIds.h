#pragma once

// Resource ids of the editor's PNG images and the names the editor loads
// them by. Written by make_images.py together with the images and Tarvo.rc;
// change the catalogue there so that the three stay in step.

// clang-format off

constexpr int IMG_CELL_EMPTY                  = 114;
constexpr int IMG_CELL_NORTH                  = 115;
constexpr int IMG_CELL_EAST                   = 116;
constexpr int IMG_CELL_SOUTH                  = 117;
constexpr int IMG_CELL_WEST                   = 118;
constexpr int IMG_CELL_NORTHEAST              = 119;
constexpr int IMG_CELL_SOUTHEAST              = 120;
constexpr int IMG_CELL_SOUTHWEST              = 121;
constexpr int IMG_CELL_NORTHWEST              = 122;
constexpr int IMG_CELL_NORTH_SLOW             = 123;
constexpr int IMG_CELL_EAST_SLOW              = 124;
constexpr int IMG_CELL_SOUTH_SLOW             = 125;
constexpr int IMG_CELL_WEST_SLOW              = 126;
constexpr int IMG_CELL_NORTHEAST_SLOW         = 127;
constexpr int IMG_CELL_SOUTHEAST_SLOW         = 128;
constexpr int IMG_CELL_SOUTHWEST_SLOW         = 129;
constexpr int IMG_CELL_NORTHWEST_SLOW         = 130;
constexpr int IMG_CELL_COLLISION              = 131;
constexpr int IMG_MARK_NONE                   = 132;
constexpr int IMG_MARK_MIRROR_HORIZONTAL      = 133;
constexpr int IMG_MARK_MIRROR_VERTICAL        = 134;
constexpr int IMG_MARK_MIRROR_UP              = 135;
constexpr int IMG_MARK_MIRROR_DOWN            = 136;
constexpr int IMG_MARK_PILLAR                 = 137;
constexpr int IMG_MARK_WEDGE_N                = 138;
constexpr int IMG_MARK_WEDGE_E                = 139;
constexpr int IMG_MARK_WEDGE_S                = 140;
constexpr int IMG_MARK_WEDGE_W                = 141;
constexpr int IMG_MARK_BOUNCE                 = 142;
constexpr int IMG_MARK_WORMHOLE               = 143;
constexpr int IMG_MARK_SPIN                   = 144;
constexpr int IMG_MARK_PAUSE                  = 145;
constexpr int IMG_MARK_MIRROR_UP_TILT         = 146;
constexpr int IMG_MARK_MIRROR_DOWN_TILT       = 147;
constexpr int IMG_MARK_MIRROR_HORIZONTAL_TILT = 148;
constexpr int IMG_MARK_MIRROR_VERTICAL_TILT   = 149;
constexpr int IMG_MARK_PACE_SLOW              = 150;
constexpr int IMG_MARK_PACE_NORMAL            = 151;
constexpr int IMG_MARK_PACE_TOGGLE            = 152;
constexpr int IMG_RADIO_YELLOW                = 155;
constexpr int IMG_RADIO_RED                   = 156;
constexpr int IMG_RADIO_NORTH                 = 157;
constexpr int IMG_RADIO_EAST                  = 158;
constexpr int IMG_RADIO_SOUTH                 = 159;
constexpr int IMG_RADIO_WEST                  = 160;
constexpr int IMG_BACKGROUND                  = 161;
constexpr int IMG_CONTACT_UP                  = 162;
constexpr int IMG_CONTACT_DOWN                = 163;
constexpr int IMG_KNOB16                      = 170;
constexpr int IMG_KNOB17                      = 171;
constexpr int IMG_KNOB101                     = 172;
constexpr int IMG_KNOB128                     = 173;
constexpr int IMG_HANDLE_ROTATE               = 174;
constexpr int IMG_HANDLE_CLIMB_NORTH          = 175;
constexpr int IMG_HANDLE_CLIMB_EAST           = 176;
constexpr int IMG_HANDLE_CLIMB_WEST           = 177;
constexpr int IMG_HANDLE_CLIMB_SOUTH          = 178;
constexpr int IMG_PALETTE_BOX                 = 179;
constexpr int IMG_EMPTY_PATTERN               = 180;
constexpr int IMG_PATTERN_SAVE                = 181;
constexpr int IMG_RESTORE_BUTTON              = 182;
constexpr int IMG_PATTERN_CLEAR               = 183;
constexpr int IMG_FLIP_HORIZONTAL             = 184;
constexpr int IMG_FLIP_VERTICAL               = 185;
constexpr int IMG_ROTATE_RIGHT                = 186;
constexpr int IMG_ROTATE_LEFT                 = 187;
constexpr int IMG_PATTERN_RESTORE             = 188;
constexpr int IMG_PASTE_BUTTON                = 189;
constexpr int IMG_SHIFT_RIGHT                 = 190;
constexpr int IMG_SHIFT_LEFT                  = 191;
constexpr int IMG_SHIFT_UP                    = 192;
constexpr int IMG_SHIFT_DOWN                  = 193;
constexpr int IMG_STAGGER_UP                  = 194;
constexpr int IMG_STAGGER_DOWN                = 195;
constexpr int IMG_STOP_GO                     = 196;
constexpr int IMG_TIMES_TWO                   = 197;
constexpr int IMG_TIMES_HALF                  = 198;
constexpr int IMG_SEQ_TOGGLE                  = 199;
constexpr int IMG_PATTERN_TOGGLE              = 200;
constexpr int IMG_STEP_MUTE                   = 201;
constexpr int IMG_STEP_LOCK                   = 202;

// Cell pictures by rover display code (0 empty, 1-8 normal rovers by
// heading, 9-16 slow rovers, 17 collision) and obstacle markers by kind.
constexpr int IMG_FIRST_CELL = IMG_CELL_EMPTY;
constexpr int NUM_CELL_IMAGES = 18;
constexpr int IMG_FIRST_MARK = IMG_MARK_NONE;
constexpr int NUM_MARK_IMAGES = 21;

struct ImageInfo
{
  int id;
  const char* name;
  int frames;
};

inline constexpr ImageInfo IMAGE_CATALOGUE[] = {
  {IMG_CELL_EMPTY, "img/empty17.png", 1},
  {IMG_CELL_NORTH, "img/north17.png", 1},
  {IMG_CELL_EAST, "img/east17.png", 1},
  {IMG_CELL_SOUTH, "img/south17.png", 1},
  {IMG_CELL_WEST, "img/west17.png", 1},
  {IMG_CELL_NORTHEAST, "img/northeast17.png", 1},
  {IMG_CELL_SOUTHEAST, "img/southeast17.png", 1},
  {IMG_CELL_SOUTHWEST, "img/southwest17.png", 1},
  {IMG_CELL_NORTHWEST, "img/northwest17.png", 1},
  {IMG_CELL_NORTH_SLOW, "img/northslow17.png", 1},
  {IMG_CELL_EAST_SLOW, "img/eastslow17.png", 1},
  {IMG_CELL_SOUTH_SLOW, "img/southslow17.png", 1},
  {IMG_CELL_WEST_SLOW, "img/westslow17.png", 1},
  {IMG_CELL_NORTHEAST_SLOW, "img/northeast17slow.png", 1},
  {IMG_CELL_SOUTHEAST_SLOW, "img/southeast17slow.png", 1},
  {IMG_CELL_SOUTHWEST_SLOW, "img/southwest17slow.png", 1},
  {IMG_CELL_NORTHWEST_SLOW, "img/northwest17slow.png", 1},
  {IMG_CELL_COLLISION, "img/collid17.png", 1},
  {IMG_MARK_NONE, "img/nomark.png", 1},
  {IMG_MARK_MIRROR_HORIZONTAL, "img/mirrhor.png", 1},
  {IMG_MARK_MIRROR_VERTICAL, "img/mirrvert.png", 1},
  {IMG_MARK_MIRROR_UP, "img/mirrup.png", 1},
  {IMG_MARK_MIRROR_DOWN, "img/mirrdown.png", 1},
  {IMG_MARK_PILLAR, "img/pillar.png", 1},
  {IMG_MARK_WEDGE_N, "img/wedge_n.png", 1},
  {IMG_MARK_WEDGE_E, "img/wedge_e.png", 1},
  {IMG_MARK_WEDGE_S, "img/wedge_s.png", 1},
  {IMG_MARK_WEDGE_W, "img/wedge_w.png", 1},
  {IMG_MARK_BOUNCE, "img/bounce.png", 1},
  {IMG_MARK_WORMHOLE, "img/wormhole.png", 1},
  {IMG_MARK_SPIN, "img/spin.png", 1},
  {IMG_MARK_PAUSE, "img/pause.png", 1},
  {IMG_MARK_MIRROR_UP_TILT, "img/mirruptilt.png", 1},
  {IMG_MARK_MIRROR_DOWN_TILT, "img/mirrdowntilt.png", 1},
  {IMG_MARK_MIRROR_HORIZONTAL_TILT, "img/mirrhortilt.png", 1},
  {IMG_MARK_MIRROR_VERTICAL_TILT, "img/mirrverttilt.png", 1},
  {IMG_MARK_PACE_SLOW, "img/slow.png", 1},
  {IMG_MARK_PACE_NORMAL, "img/fast.png", 1},
  {IMG_MARK_PACE_TOGGLE, "img/togglepace.png", 1},
  {IMG_RADIO_YELLOW, "img/radio-yellow.png", 2},
  {IMG_RADIO_RED, "img/radio-red.png", 2},
  {IMG_RADIO_NORTH, "img/radio-north.png", 2},
  {IMG_RADIO_EAST, "img/radio-east.png", 2},
  {IMG_RADIO_SOUTH, "img/radio-south.png", 2},
  {IMG_RADIO_WEST, "img/radio-west.png", 2},
  {IMG_BACKGROUND, "img/tarvo-circle-bg.png", 1},
  {IMG_CONTACT_UP, "img/contact-green-up.png", 2},
  {IMG_CONTACT_DOWN, "img/contact-green-down.png", 2},
  {IMG_KNOB16, "img/silver-knob16.png", 16},
  {IMG_KNOB17, "img/silver-knob17.png", 17},
  {IMG_KNOB101, "img/silver-knob101.png", 101},
  {IMG_KNOB128, "img/silver-knob128.png", 128},
  {IMG_HANDLE_ROTATE, "img/arrow-handle14.png", 1},
  {IMG_HANDLE_CLIMB_NORTH, "img/arrow-handle12.png", 1},
  {IMG_HANDLE_CLIMB_EAST, "img/arrow-handle12left.png", 1},
  {IMG_HANDLE_CLIMB_WEST, "img/arrow-handle12right.png", 1},
  {IMG_HANDLE_CLIMB_SOUTH, "img/arrow-handle12up.png", 1},
  {IMG_PALETTE_BOX, "img/obstacle-selector-box.png", 2},
  {IMG_EMPTY_PATTERN, "img/empty-pattern.png", 1},
  {IMG_PATTERN_SAVE, "img/capture-button.png", 2},
  {IMG_RESTORE_BUTTON, "img/restore-button.png", 2},
  {IMG_PATTERN_CLEAR, "img/clear-button.png", 2},
  {IMG_FLIP_HORIZONTAL, "img/flip-horiz.png", 2},
  {IMG_FLIP_VERTICAL, "img/flip-vert.png", 2},
  {IMG_ROTATE_RIGHT, "img/rotate-right.png", 2},
  {IMG_ROTATE_LEFT, "img/rotate-left.png", 2},
  {IMG_PATTERN_RESTORE, "img/copy-button.png", 2},
  {IMG_PASTE_BUTTON, "img/paste-button.png", 2},
  {IMG_SHIFT_RIGHT, "img/shift-right.png", 2},
  {IMG_SHIFT_LEFT, "img/shift-left.png", 2},
  {IMG_SHIFT_UP, "img/shift-up.png", 2},
  {IMG_SHIFT_DOWN, "img/shift-down.png", 2},
  {IMG_STAGGER_UP, "img/stagger-up.png", 2},
  {IMG_STAGGER_DOWN, "img/stagger-down.png", 2},
  {IMG_STOP_GO, "img/stop-go.png", 2},
  {IMG_TIMES_TWO, "img/times-two.png", 2},
  {IMG_TIMES_HALF, "img/times-half.png", 2},
  {IMG_SEQ_TOGGLE, "img/seq-toggle.png", 2},
  {IMG_PATTERN_TOGGLE, "img/pattern-toggle.png", 2},
  {IMG_STEP_MUTE, "img/mute-button.png", 2},
  {IMG_STEP_LOCK, "img/lock-button.png", 2},
};

constexpr int NUM_IMAGES = static_cast<int>(sizeof(IMAGE_CATALOGUE) / sizeof(IMAGE_CATALOGUE[0]));

// The catalogue entry of an id, or null for an id the editor never loads.
inline const ImageInfo* FindImageInfo(int id)
{
  for (const ImageInfo& info : IMAGE_CATALOGUE)
  {
    if (info.id == id)
    {
      return &info;
    }
  }
  return nullptr;
}
