// The movement shown by every built-in animation range, as functions of the phase within it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <numbers>
#include <string>
#include <utility>

#include "Rig.h"
#include "bots/MD2.h"

namespace quarn::tools::make_bot {

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

float Cycle(float t, float phase = 0) { return std::sin(2 * Pi * (t + phase)); }
float Smooth(float t) { return t <= 0 ? 0 : t >= 1 ? 1 : t * t * (3 - 2 * t); }

using TSet = std::initializer_list<std::pair<TParam, float>>;

TPose With(TPose pose, TSet values)
{
  for (const auto& [param, value] : values) pose[param] = value;
  return pose;
}

TPose Stand()
{
  TPose p{};
  return With(p, {{ArmSwingL, 6},
                  {ArmRaiseL, 10},
                  {ElbowL, 20},
                  {ArmSwingR, 18},
                  {ArmRaiseR, 8},
                  {ElbowR, 45},
                  {LegSpreadL, 4},
                  {LegSpreadR, 4}});
}

TPose Crouch()
{
  return With(Stand(), {{RootZ, -7.5f},
                        {TorsoPitch, 18},
                        {HeadPitch, -14},
                        {LegSwingL, 62},
                        {KneeL, 112},
                        {LegSwingR, 52},
                        {KneeR, 100},
                        {LegSpreadL, 8},
                        {LegSpreadR, 8},
                        {ArmSwingR, 40},
                        {ElbowR, 50},
                        {ArmSwingL, 30},
                        {ElbowL, 50}});
}

TPose Aim(TPose p)
{
  return With(
      p, {{ArmSwingR, 84 + p[TorsoPitch] * 0.3f}, {ArmRaiseR, 4}, {ElbowR, 6}, {ArmTwistR, 0}});
}

// Key poses at increasing times 0..1, eased between.
TPose Keys(std::initializer_list<std::pair<float, TPose>> keys, float t)
{
  const auto* previous = keys.begin();
  for (const auto* k = keys.begin() + 1; k != keys.end(); ++k) {
    if (t <= k->first) {
      const float span = k->first - previous->first;
      return Lerp(previous->second, k->second, Smooth(span > 0 ? (t - previous->first) / span : 1));
    }
    previous = k;
  }
  return previous->second;
}

TPose Idle(float t)  // 0: breathing, glancing around
{
  TPose p = Stand();
  p[RootZ] = 0.35f * Cycle(t);
  p[TorsoPitch] = 2 * Cycle(t, 0.25f);
  p[HeadYaw] = 28 * Cycle(t);
  p[HeadPitch] = -4 + 3 * Cycle(2 * t);
  p[ArmSwingL] += 4 * Cycle(t, 0.1f);
  p[ArmSwingR] += 3 * Cycle(t, 0.3f);
  return p;
}

TPose Run(float t)  // 1 (and 18 backwards): legs and arms in opposite swing
{
  const float s = Cycle(t);
  TPose p = Stand();
  p[RootZ] = -1 + 1.6f * std::fabs(Cycle(t, 0.25f));
  p[TorsoPitch] = 14;
  p[HeadPitch] = -12;
  p[TorsoYaw] = 8 * s;
  p[LegSwingL] = 38 * s;
  p[LegSwingR] = -38 * s;
  p[KneeL] = 20 + 55 * Smooth(0.5f - 0.5f * Cycle(t, 0.2f));
  p[KneeR] = 20 + 55 * Smooth(0.5f + 0.5f * Cycle(t, 0.2f));
  p[ArmSwingL] = -40 * s;
  p[ElbowL] = 70;
  p[ArmSwingR] = 45 + 15 * s;
  p[ElbowR] = 40;
  return p;
}

TPose Shoot(float t)  // 16: gun raised, recoil, recover
{
  const TPose aim =
      Aim(With(Stand(), {{TorsoYaw, -12}, {HeadYaw, 8}, {ArmSwingL, 25}, {ElbowL, 70}}));
  const TPose kick = With(
      aim, {{ArmSwingR, 112}, {ElbowR, 25}, {TorsoPitch, -9}, {RootX, -1.5f}, {HeadPitch, -8}});
  return Keys({{0, aim}, {0.12f, kick}, {0.5f, aim}, {0.62f, kick}, {1, aim}}, t);
}

TPose Pain(float t)  // 2: hit in the chest, thrown back, recover
{
  const TPose hit = With(Stand(), {{TorsoPitch, -24},
                                   {HeadPitch, -30},
                                   {RootX, -2},
                                   {ArmRaiseL, 55},
                                   {ArmRaiseR, 45},
                                   {ArmSwingL, -20},
                                   {ElbowL, 60},
                                   {KneeL, 25},
                                   {KneeR, 30},
                                   {LegSwingL, 15},
                                   {LegSwingR, 12}});
  return Keys({{0, Stand()},
               {0.2f, hit},
               {0.55f, With(hit, {{TorsoPitch, -12}, {HeadPitch, -10}})},
               {1, Stand()}},
              t);
}

TPose Pain2(float t)  // 3: hit in the side, doubling over with a twist
{
  const TPose hit = With(Stand(), {{TorsoPitch, 30},
                                   {TorsoYaw, 25},
                                   {TorsoRoll, -14},
                                   {HeadPitch, 25},
                                   {HeadRoll, 12},
                                   {ArmSwingL, 50},
                                   {ElbowL, 100},
                                   {KneeL, 30},
                                   {KneeR, 18},
                                   {LegSwingL, 22},
                                   {RootZ, -2}});
  return Keys({{0, Stand()}, {0.3f, hit}, {0.6f, With(hit, {{TorsoYaw, -10}})}, {1, Stand()}}, t);
}

TPose Jump(float t)  // 4: crouch, spring up with arms high, tuck, land
{
  const TPose load =
      With(Crouch(), {{RootZ, -5}, {ArmSwingL, -35}, {ArmSwingR, -20}, {ElbowL, 20}});
  const TPose launch = With(Stand(), {{RootZ, 7},
                                      {LegSwingL, -8},
                                      {LegSwingR, -8},
                                      {ToeL, 30},
                                      {ToeR, 30},
                                      {ArmSwingL, 165},
                                      {ArmRaiseL, 15},
                                      {ElbowL, 10},
                                      {ArmSwingR, 150},
                                      {ElbowR, 10},
                                      {HeadPitch, -20}});
  const TPose apex = With(launch, {{RootZ, 14},
                                   {LegSwingL, 75},
                                   {KneeL, 110},
                                   {LegSwingR, 75},
                                   {KneeR, 110},
                                   {ArmSwingL, 100},
                                   {ArmRaiseL, 40},
                                   {ArmSwingR, 90},
                                   {ToeL, 0},
                                   {ToeR, 0}});
  return Keys({{0, load},
               {0.25f, launch},
               {0.55f, apex},
               {0.85f, With(Crouch(), {{RootZ, -4}})},
               {1, Stand()}},
              t);
}

TPose Flip(float t)  // first half of 5: a back flip
{
  const float a = Smooth(t);
  TPose p = Lerp(Stand(),
                 With(Stand(), {{LegSwingL, 95},
                                {LegSwingR, 95},
                                {KneeL, 130},
                                {KneeR, 130},
                                {ArmSwingL, 70},
                                {ArmSwingR, 70},
                                {ElbowL, 90},
                                {ElbowR, 90},
                                {HeadPitch, 20},
                                {TorsoPitch, 20}}),
                 std::sin(Pi * a));
  p[RootPitch] = -360 * a;
  p[RootZ] = 22 * std::sin(Pi * a);
  p[RootX] = -8 * a;
  return p;
}

TPose Salute(float t)  // second half of 5: left hand to the brow, held, lowered
{
  const TPose up = With(Stand(), {{ArmRaiseL, 130},
                                  {ArmSwingL, 70},
                                  {ArmTwistL, 80},
                                  {ElbowL, 110},
                                  {HeadPitch, -6},
                                  {TorsoPitch, -3},
                                  {LegSpreadL, 1},
                                  {LegSpreadR, 1}});
  return Keys(
      {{0, With(Stand(), {{RootX, -8}})}, {0.15f, Stand()}, {0.4f, up}, {0.8f, up}, {1, Stand()}},
      t);
}

TPose Taunt(float t)  // 6: fist pumping over the head, hips swaying
{
  TPose p = With(Stand(), {{ArmSwingL, 170}, {ArmRaiseL, 20}, {ArmSwingR, 50}, {ElbowR, 80}});
  p[ElbowL] = 30 + 60 * (0.5f + 0.5f * Cycle(3 * t));
  p[RootY] = 2 * Cycle(t);
  p[RootRoll] = 5 * Cycle(t);
  p[TorsoRoll] = -9 * Cycle(t);
  p[HeadRoll] = 12 * Cycle(t);
  p[HeadPitch] = -15;
  p[KneeL] = 12 + 12 * Cycle(t);
  p[KneeR] = 12 - 12 * Cycle(t);
  p[LegSwingL] = 0.5f * p[KneeL];
  p[LegSwingR] = 0.5f * p[KneeR];
  return p;
}

TPose Wave(float t)  // 7: left arm up, hand waving side to side
{
  TPose p = With(Stand(), {{ArmSwingL, 10}, {ArmRaiseL, 150}, {HeadYaw, 15}, {TorsoRoll, -5}});
  p[ElbowL] = 0;
  p[ArmTwistL] = 90;
  p[ElbowL] = 35 * Cycle(2 * t);
  p[ArmRaiseL] = 145 + 10 * Cycle(2 * t);
  return p;
}

TPose Point(float t)  // 8: turn and point with the left arm, hold, lower
{
  const TPose point = With(Stand(), {{ArmSwingL, 90},
                                     {ArmRaiseL, -12},
                                     {ElbowL, 0},
                                     {TorsoYaw, 18},
                                     {HeadYaw, 14},
                                     {HeadPitch, -4},
                                     {LegSwingL, 15},
                                     {KneeL, 10}});
  return Keys({{0, Stand()}, {0.3f, point}, {0.75f, point}, {1, Stand()}}, t);
}

TPose CrouchIdle(float t)  // 9: crouched, breathing, gun ready
{
  TPose p = Crouch();
  p[RootZ] += 0.4f * Cycle(t);
  p[TorsoPitch] += 3 * Cycle(t, 0.25f);
  p[HeadYaw] = 10 * Cycle(t);
  return p;
}

TPose CrouchWalk(float t)  // 10: crouched steps
{
  TPose p = Crouch();
  const float s = Cycle(t);
  p[LegSwingL] = 57 + 22 * s;
  p[LegSwingR] = 57 - 22 * s;
  p[KneeL] = 106 + 14 * Cycle(t, 0.25f);
  p[KneeR] = 106 - 14 * Cycle(t, 0.25f);
  p[RootZ] = -7 + 0.8f * std::fabs(Cycle(t, 0.25f));
  p[ArmSwingL] = 30 - 25 * s;
  p[TorsoYaw] = 6 * s;
  return p;
}

TPose CrouchShoot(float t)  // 17: crouched, gun raised, recoil
{
  const TPose aim = Aim(With(Crouch(), {{TorsoPitch, 8}, {HeadPitch, -8}}));
  const TPose kick = With(aim, {{ArmSwingR, 118}, {ElbowR, 25}, {TorsoPitch, -6}, {RootX, -1.5f}});
  return Keys({{0, aim}, {0.2f, kick}, {1, aim}}, t);
}

TPose CrouchScan(float t)  // 11: crouched, aiming left and right
{
  TPose p = Aim(With(Crouch(), {{TorsoPitch, 10}}));
  p[TorsoYaw] = 35 * Cycle(t);
  p[HeadYaw] = 15 * Cycle(t);
  return p;
}

TPose CrouchDeath(float t)  // 12: crouched, hit, toppling onto its side
{
  const TPose hit =
      With(Crouch(), {{TorsoPitch, -10}, {HeadPitch, -30}, {ArmRaiseL, 60}, {ArmRaiseR, 50}});
  TPose down = With(Crouch(), {{RootRoll, 85},
                               {RootZ, -18},
                               {RootY, 6},
                               {HeadRoll, 20},
                               {ArmRaiseL, 100},
                               {ArmSwingR, 10},
                               {ElbowR, 20},
                               {ArmSwingL, 20}});
  return Keys({{0, Crouch()}, {0.25f, hit}, {1, down}}, t);
}

// Falls: the body turns about the feet (kept on the ground), ending lying flat.
TPose Fall(TPose p, float pitch, float extraZ)
{
  // The pelvis is 24 units over the feet; turning by pitch about y around the feet puts it at
  // (24 sin(pitch), 24 cos(pitch)) from them, lifted by the body's half thickness as it lies.
  const float a = pitch * Pi / 180;
  p[RootPitch] = pitch;
  p[RootX] += 24 * std::sin(a);
  p[RootZ] += -24 + 24 * std::cos(a) + 3.5f * std::fabs(std::sin(a)) + extraZ;
  return p;
}

TPose DeathBack(float t)  // 13: blown backwards, arms flung up, flat on the back
{
  const float a = Smooth(std::min(1.0f, t * 1.25f));
  TPose p = With(Stand(), {{ArmSwingL, 120 * a},
                           {ArmSwingR, 100 * a},
                           {ArmRaiseL, 30},
                           {ArmRaiseR, 30},
                           {ElbowL, 20},
                           {HeadPitch, -30 * a},
                           {KneeL, 40 * std::sin(Pi * a)},
                           {KneeR, 25 * std::sin(Pi * a)}});
  return Fall(p, -90 * a * a, 0);
}

TPose DeathForward(float t)  // 14: knees give, falls on its face
{
  const float a = Smooth(t);
  TPose p = With(Stand(), {{ArmSwingL, 60 * a},
                           {ArmSwingR, 40 * a},
                           {ElbowL, 60 * a},
                           {HeadPitch, -40 * a},
                           {TorsoPitch, 15 * std::sin(Pi * a)}});
  return Fall(p, 90 * a * a, 0);
}

TPose DeathCollapse(float t)  // 15: spins, drops to the knees, slumps sideways
{
  const TPose kneel = With(Stand(), {{RootZ, -9},
                                     {LegSwingL, 10},
                                     {LegSwingR, 10},
                                     {KneeL, 100},
                                     {KneeR, 100},
                                     {ToeL, -100},
                                     {ToeR, -100},
                                     {TorsoPitch, 25},
                                     {HeadPitch, 40},
                                     {ArmSwingL, 0},
                                     {ArmSwingR, 0},
                                     {ElbowR, 5},
                                     {RootYaw, 40}});
  const TPose slump = With(kneel, {{RootRoll, -75},
                                   {RootZ, -19},
                                   {RootY, -4},
                                   {HeadRoll, -30},
                                   {ArmRaiseR, 10},
                                   {ArmSwingR, 35},
                                   {ArmRaiseL, 20}});
  return Keys({{0, Stand()},
               {0.2f, With(Stand(), {{RootYaw, 25}, {TorsoPitch, -15}, {HeadPitch, -25}})},
               {0.55f, kneel},
               {1, slump}},
              t);
}

TPose Motion(int animation, float t)
{
  switch (animation) {
    case 0: return Idle(t);
    case 1: return Run(t);
    case 2: return Pain(t);
    case 3: return Pain2(t);
    case 4: return Jump(t);
    case 5: return t < 0.5f ? Flip(t * 2) : Salute(t * 2 - 1);
    case 6: return Taunt(t);
    case 7: return Wave(t);
    case 8: return Point(t);
    case 9: return CrouchIdle(t);
    case 10: return CrouchWalk(t);
    case 11: return CrouchScan(t);
    case 12: return CrouchDeath(t);
    case 13: return DeathBack(t);
    case 14: return DeathForward(t);
    case 15: return DeathCollapse(t);
    case 16: return Shoot(t);
    case 17: return CrouchShoot(t);
    default: return Stand();
  }
}

// Loops are sampled without their end point, so the wrap back to the start is one step long.
bool Loops(int animation)
{
  switch (animation) {
    case 0:
    case 1:
    case 6:
    case 7:
    case 9:
    case 10:
    case 11: return true;
    default: return false;
  }
}

}  // namespace

std::vector<TPose> AllFramePoses()
{
  constexpr int FrameCount = 199;
  std::vector<TPose> poses(FrameCount, Stand());
  for (int n = 0; n < 18; ++n) {  // 18 replays range 1 backwards: nothing of its own
    const bots::TAnimationRange range = bots::AnimationTable[static_cast<size_t>(n)];
    const int length = range.End - range.Start + 1;
    for (int i = 0; i < length; ++i) {
      const float t = Loops(n) ? float(i) / float(length) : float(i) / float(length - 1);
      poses[static_cast<size_t>(range.Start + i)] = Motion(n, t);
    }
  }
  return poses;
}

std::vector<std::string> AllFrameNames()
{
  // By animation number; animation 5 is a back flip and then a salute, named apart.
  constexpr const char* Names[18] = {"stand",   "run",   "pain",   "painb",   "jump",   "flip",
                                     "taunt",   "wave",  "point",  "crstand", "crwalk", "crscan",
                                     "crdeath", "death", "deathb", "deathc",  "attack", "crattack"};
  std::vector<std::string> names(199);
  for (int n = 0; n < 18; ++n) {
    const bots::TAnimationRange range = bots::AnimationTable[static_cast<size_t>(n)];
    const int length = range.End - range.Start + 1;
    for (int i = 0; i < length; ++i) {
      const bool salute = n == 5 && i >= length / 2;  // Motion's second half of animation 5
      char name[24];  // the file keeps 15 characters; every name here is shorter
      std::snprintf(name, sizeof name, "%s%02d", salute ? "salute" : Names[n],
                    salute ? i - length / 2 + 1 : i + 1);
      names[static_cast<size_t>(range.Start + i)] = name;
    }
  }
  return names;
}

}  // namespace quarn::tools::make_bot
