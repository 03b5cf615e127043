// The particle effects "effects/*.par": bursts, emitters, trails and sparkles
// designed for the board's scale (a cell is about 50 units), drawing their
// particles from the atlas groups of "exploanim.tga".
#include <cstdio>
#include <string>
#include <vector>

#include "forge/art.h"
#include "forge/effects.h"

namespace corsavel::forge {
namespace {

// One effect file. Field order follows the keys the game reads; "rot=" and
// "rotdev=" are written before "drot=" and "drotdev=" because a key is found
// by a plain substring search.
struct Par {
    std::string name;
    std::vector<std::string> externals;
    float parfrequency = 0;
    float color0[4] = {1, 1, 1, 1};
    float color0dev[4] = {0, 0, 0, 0};
    float color1[4] = {1, 1, 1, 0};
    float color1dev[4] = {0, 0, 0, 0};
    float radius0 = 0, radius0dev = 0, radius1 = 0, radius1dev = 0;
    float partime = 0, partimedev = 0;
    float positiondev[3] = {0, 0, 0};
    float speed[3] = {0, 0, 0};
    float speeddev[3] = {0, 0, 0};
    float gravity = 0, gravitydev = 0;
    int blendtype = 0;
    int numparticle = 0;
    float rot = 0, rotdev = 0, drot = 0, drotdev = 0;
    float effecttime = 0;
    float polarpar[4] = {0, 0, 0, 0};
    float polarpardev[4] = {0, 0, 0, 0};
    float lissparx[3] = {0, 0, 0};
    float lisspary[3] = {0, 0, 0};
    int simetria = 0, simetriapar = 0;
    float polar[4] = {0, 0, 0, 0};
    float polardev[4] = {0, 0, 0, 0};
    float lissx[3] = {0, 0, 0};
    float lissy[3] = {0, 0, 0};
};

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

std::string list(const float* v, int n, char open = '(') {
    std::string s(1, open);
    for (int i = 0; i < n; ++i) {
        s += (i ? "," : "") + number(v[i]);
    }
    return s + ")";
}

// Additive particles add source colour times itself and ignore alpha: their
// colours carry the alpha in them, so that fading out means fading to black.
Par premultiplied(Par p) {
    if (p.blendtype == 0) {
        for (float* c : {p.color0, p.color1, p.color0dev, p.color1dev}) {
            const float a = c == p.color0dev ? p.color0[3] : (c == p.color1dev ? p.color1[3] : c[3]);
            for (int i = 0; i < 3; ++i)
                c[i] *= a;
        }
    }
    return p;
}

std::string parText(const Par& input) {
    const Par p = premultiplied(input);
    std::string t;
    auto line = [&](const std::string& key, const std::string& value) {
        t += key + "=" + value + "\r\n";
    };
    for (size_t i = 0; i < p.externals.size() && i < 8; ++i) {
        line("externeffect" + std::to_string(i + 1), p.externals[i]);
    }
    line("parfrequency", number(p.parfrequency));
    line("color0", list(p.color0, 4));
    line("color0dev", list(p.color0dev, 4));
    line("color1", list(p.color1, 4));
    line("color1dev", list(p.color1dev, 4));
    line("radius0", number(p.radius0));
    line("radius0dev", number(p.radius0dev));
    line("radius1", number(p.radius1));
    line("radius1dev", number(p.radius1dev));
    line("partime", number(p.partime));
    line("partimedev", number(p.partimedev));
    line("positiondev", list(p.positiondev, 3));
    line("speed", list(p.speed, 3));
    line("speeddev", list(p.speeddev, 3));
    line("gravity", number(p.gravity));
    line("gravitydev", number(p.gravitydev));
    line("blendtype", std::to_string(p.blendtype));
    line("numparticle", std::to_string(p.numparticle));
    line("rot", number(p.rot));
    line("rotdev", number(p.rotdev));
    line("drot", number(p.drot));
    line("drotdev", number(p.drotdev));
    line("effecttime", number(p.effecttime));
    line("polarpar", list(p.polarpar, 4));
    line("polarpardev", list(p.polarpardev, 4));
    line("lissparx", list(p.lissparx, 3));
    line("lisspary", list(p.lisspary, 3));
    line("simetria", std::to_string(p.simetria));
    line("simetriapar", std::to_string(p.simetriapar));
    line("polar", list(p.polar, 4));
    line("polardev", list(p.polardev, 4));
    line("lissx", list(p.lissx, 3));
    line("lissy", list(p.lissy, 3));
    line("sleep", "0");
    return t;
}

void set4(float* d, float a, float b, float c, float e) {
    d[0] = a, d[1] = b, d[2] = c, d[3] = e;
}
void set3(float* d, float a, float b, float c) {
    d[0] = a, d[1] = b, d[2] = c;
}

// A soft glow that swells and fades: flashes, halos and glints.
Par flash(const char* name, int cell, float r0, float r1, float ms, float cr, float cg, float cb,
          float a = 1.0f) {
    Par p;
    p.name = name;
    p.parfrequency = 1;
    p.numparticle = cell;
    set4(p.color0, cr, cg, cb, a);
    set4(p.color1, cr, cg * 0.6f, cb * 0.3f, 0);
    p.radius0 = r0, p.radius1 = r1, p.partime = ms;
    return p;
}

// Pieces thrown out and falling under gravity, spinning.
Par debrisBurst(const char* name, int cell, float groups, float speed, float size) {
    Par p;
    p.name = name;
    p.parfrequency = groups;
    p.numparticle = cell;
    p.blendtype = 1;
    set4(p.color0, 1, 1, 1, 1);
    set4(p.color1, 0.8f, 0.8f, 0.8f, 0);
    p.radius0 = size, p.radius0dev = size * 0.3f, p.radius1 = size * 0.7f;
    p.partime = 900, p.partimedev = 300;
    set3(p.positiondev, 8, 8, 0);
    set3(p.speed, 0, speed * 0.4f, 0);
    set3(p.speeddev, speed, speed, 0);
    p.gravity = 600, p.gravitydev = 100;
    p.rotdev = 180, p.drotdev = 720;
    return p;
}

// Fire blobs blooming out of a point.
Par fireBall(const char* name, float groups, float speed, float r0, float r1, float ms) {
    Par p;
    p.name = name;
    p.parfrequency = groups;
    p.numparticle = kParticleFire;
    set4(p.color0, 1, 0.95f, 0.75f, 1);
    set4(p.color0dev, 0, 0.05f, 0.2f, 0);
    set4(p.color1, 0.9f, 0.3f, 0.05f, 0.3f);
    p.radius0 = r0, p.radius0dev = r0 * 0.25f, p.radius1 = r1, p.radius1dev = r1 * 0.2f;
    p.partime = ms, p.partimedev = ms * 0.3f;
    set3(p.positiondev, 10, 10, 0);
    set3(p.speeddev, speed, speed, 0);
    set3(p.speed, 0, speed * 0.2f, 0);
    p.rotdev = 180, p.drotdev = 90;
    return p;
}

// Sharp sparks flying out fast and shrinking.
Par sparks(const char* name, int cell, float groups, float speed, float ms, float cr, float cg,
           float cb) {
    Par p;
    p.name = name;
    p.parfrequency = groups;
    p.numparticle = cell;
    set4(p.color0, cr, cg, cb, 1);
    set4(p.color1, cr, cg * 0.5f, cb * 0.2f, 0);
    p.radius0 = 30, p.radius0dev = 8, p.radius1 = 6;
    p.partime = ms, p.partimedev = ms * 0.3f;
    set3(p.speeddev, speed, speed, 0);
    p.gravity = 200;
    p.rotdev = 180, p.drotdev = 540;
    return p;
}

// Smoke that rises, spreads and thins out (alpha blended so it darkens).
Par smokePuff(const char* name, float groups, float r0, float r1, float ms, float grey, float a) {
    Par p;
    p.name = name;
    p.parfrequency = groups;
    p.numparticle = kParticleSmoke + 1;
    p.blendtype = 1;
    set4(p.color0, grey, grey, grey, a);
    set4(p.color1, grey * 0.7f, grey * 0.7f, grey * 0.7f, 0);
    p.radius0 = r0, p.radius0dev = r0 * 0.3f, p.radius1 = r1, p.radius1dev = r1 * 0.2f;
    p.partime = ms, p.partimedev = ms * 0.25f;
    set3(p.positiondev, 10, 6, 0);
    set3(p.speed, 0, 40, 0);
    set3(p.speeddev, 40, 20, 0);
    p.rotdev = 180, p.drotdev = 40;
    return p;
}

std::vector<Par> effectList() {
    std::vector<Par> e;
    const int glowWhite = kParticleGlow, glowWarm = kParticleGlow + 1,
              glowGold = kParticleGlow + 2,
              glowBlue = kParticleGlow + 4, glowPink = kParticleGlow + 6;

    // A plain bomb: chips of debris (one start per debris cell), a white-hot
    // flash, a shock ring, a fireball and sparks; smoke when it ends.
    e.push_back(debrisBurst("bomb1_0", kParticleDebris, 3, 260, 16));
    {
        Par p = fireBall("bomb1_1", 14, 170, 56, 130, 700);
        p.externals = {"bombflash", "bombring", "bombsparks"};
        e.push_back(p);
    }
    e.push_back(flash("bombflash", glowWhite, 110, 330, 380, 1, 1, 0.9f));
    {
        Par p = flash("bombring", kParticleRing + 6, 40, 380, 500, 1, 0.9f, 0.6f);
        e.push_back(p);
    }
    e.push_back(sparks("bombsparks", kParticleSpark + 1, 24, 420, 500, 1, 0.9f, 0.5f));
    {
        Par p = smokePuff("bomb1_2", 8, 30, 90, 1300, 0.55f, 0.55f);
        p.externals = {"bombembers"};
        e.push_back(p);
    }
    {
        Par p = sparks("bombembers", kParticleGlow + 3, 10, 90, 900, 1, 0.6f, 0.2f);
        p.radius0 = 12, p.radius1 = 2;
        set3(p.speed, 0, 60, 0);
        p.gravity = -20;
        e.push_back(p);
    }

    // The line bombs: a blue-white flash and ring where they fire, fire and
    // sparks hopping along their arms.
    {
        Par p = flash("prototip", glowBlue, 60, 220, 400, 0.8f, 0.9f, 1);
        p.externals = {"protoring", "bombsparks"};
        e.push_back(p);
    }
    e.push_back(flash("protoring", kParticleRing + 4, 20, 240, 500, 0.7f, 0.85f, 1, 0.9f));
    {
        Par p = fireBall("krestbomb", 2, 50, 34, 64, 380);
        p.simetria = 4;
        set4(p.polar, 6, 0, 45, 0);
        e.push_back(p);
    }

    // Lightning: a crackling emitter of short-lived blue sparks jumping
    // around the struck cell over a bright flash.
    {
        Par p = sparks("lightning", kParticleSpark + 3, 45, 120, 140, 0.75f, 0.9f, 1);
        p.externals = {"lightningflash"};
        p.effecttime = 350;
        p.radius0 = 36, p.radius0dev = 10, p.radius1 = 10;
        set3(p.positiondev, 22, 22, 0);
        p.gravity = 0;
        set3(p.lissx, 6, 9, 0);
        set3(p.lissy, 6, 13, 90);
        e.push_back(p);
    }
    e.push_back(flash("lightningflash", glowBlue, 110, 30, 260, 0.8f, 0.9f, 1));

    // A chain breaks: silver links fly off with a glint.
    {
        Par p = debrisBurst("zep1", kParticleDebris + 7, 7, 170, 13);
        p.externals = {"zepglint"};
        e.push_back(p);
    }
    e.push_back(flash("zepglint", kParticleStar + 7, 50, 10, 300, 0.9f, 0.95f, 1));

    // A bonus is made: a golden halo closes in, stars spiral out.
    {
        Par p = flash("addbonus", kParticleRing + 2, 110, 20, 450, 1, 0.9f, 0.5f, 0.9f);
        p.externals = {"addbonusstars"};
        e.push_back(p);
    }
    {
        Par p = sparks("addbonusstars", kParticleStar, 1, 0, 700, 1, 0.95f, 0.6f);
        p.simetria = 8;
        set4(p.polar, 4, 0, 0, 0);
        set4(p.polarpar, 0, 90, 0, 180);
        p.gravity = 0;
        p.radius0 = 20, p.radius1 = 6;
        e.push_back(p);
    }

    // The score counter sparkles while it counts; a big bonus bursts.
    {
        Par p = sparks("score", kParticleStar + 1, 1, 50, 350, 1, 0.95f, 0.6f);
        p.radius0 = 24, p.radius1 = 2;
        p.gravity = 0;
        set3(p.positiondev, 30, 6, 0);
        e.push_back(p);
    }
    {
        Par p = sparks("scorewow", kParticleStar, 20, 260, 800, 1, 0.9f, 0.4f);
        p.externals = {"bombflash"};
        e.push_back(p);
    }
    {
        Par p = sparks("bonusscore", kParticleStar + 2, 1, 40, 500, 1, 1, 0.7f);
        p.radius0 = 18, p.radius1 = 2;
        p.gravity = -60;
        e.push_back(p);
    }
    e.push_back(smokePuff("delete", 4, 20, 60, 700, 0.8f, 0.5f));

    // The level ends: every tile leaves with a twinkle.
    {
        Par p = sparks("levelover0", kParticleStar + 1, 1, 30, 600, 1, 0.95f, 0.7f);
        p.radius0 = 34, p.radius1 = 0;
        set3(p.speed, 0, 50, 0);
        p.gravity = 0;
        e.push_back(p);
    }
    // Fireworks over the closing picture.
    {
        Par p = sparks("levelover2", kParticleSpark + 2, 36, 230, 1300, 1, 0.8f, 0.5f);
        set4(p.color0dev, 0, 0.2f, 0.5f, 0);
        p.gravity = 160;
        p.externals = {"fireworkflash"};
        e.push_back(p);
    }
    e.push_back(flash("fireworkflash", glowWarm, 40, 160, 350, 1, 0.9f, 0.7f));
    {
        Par p;
        p.name = "victory1";
        p.parfrequency = 1;
        p.numparticle = kParticleSpark;
        p.simetria = 24;
        set4(p.polar, 4, 0, 0, 0);
        set4(p.color0, 1, 0.8f, 0.4f, 1);
        set4(p.color0dev, 0, 0.2f, 0.6f, 0);
        set4(p.color1, 1, 0.3f, 0.6f, 0);
        p.radius0 = 26, p.radius1 = 6;
        p.partime = 1500, p.partimedev = 300;
        set4(p.polarpar, 0, 190, 0, 15);
        set4(p.polarpardev, 0, 40, 8, 10);
        set3(p.speed, 0, -30, 0);
        p.gravity = 40;
        p.rotdev = 180, p.drotdev = 360;
        p.externals = {"fireworkflash"};
        e.push_back(p);
    }

    // The celebration: a fountain of stars and gems from the treasure box.
    {
        Par p = sparks("orgasm", kParticleStar + 2, 4, 0, 1500, 1, 0.9f, 0.5f);
        set4(p.color0dev, 0, 0.1f, 0.5f, 0);
        set4(p.color1, 1, 0.4f, 0.8f, 0);
        set3(p.speed, 0, 560, 0);
        set3(p.speeddev, 230, 130, 0);
        p.gravity = 650, p.gravitydev = 80;
        p.radius0 = 30, p.radius0dev = 8, p.radius1 = 14;
        e.push_back(p);
    }

    // The time runs out: the powder barrel bursts into flame and wood, smoke
    // rises from it, and the scene flashes red.
    {
        Par p = fireBall("barrelex", 18, 210, 46, 120, 800);
        set3(p.speed, 0, 120, 0);
        p.externals = {"bombflash", "bombsparks"};
        e.push_back(p);
    }
    {
        Par p = debrisBurst("barrelex1", kParticleDebris + 6, 18, 300, 20);
        set3(p.speed, 0, 260, 0);
        e.push_back(p);
    }
    {
        Par p = smokePuff("endtime", 14, 30, 120, 2200, 0.35f, 0.7f);
        p.effecttime = 3000;
        set3(p.speed, 0, 70, 0);
        set3(p.speeddev, 20, 10, 0);
        e.push_back(p);
    }
    e.push_back(flash("endtime1", kParticleRing + 3, 120, 900, 1100, 1, 0.35f, 0.2f, 0.8f));

    // Trails and glints spawned one particle at a time by the gameplay.
    {
        Par p = flash("tail2", glowWarm, 16, 2, 280, 1, 0.8f, 0.45f, 0.55f);
        set3(p.positiondev, 3, 3, 0);
        e.push_back(p);
    }
    {
        Par p = smokePuff("smoke", 1, 8, 34, 1000, 0.5f, 0.35f);
        set3(p.speed, 0, 45, 0);
        set3(p.speeddev, 12, 6, 0);
        e.push_back(p);
    }
    {
        Par p = sparks("flare1", kParticleSpark, 1, 40, 160, 1, 0.85f, 0.4f);
        p.radius0 = 30, p.radius1 = 8;
        p.gravity = 0;
        e.push_back(p);
    }
    {
        Par p = flash("blik1", kParticleStar + 7, 0, 46, 650, 1, 1, 1);
        set4(p.color1, 1, 0.9f, 0.7f, 0);
        p.rotdev = 180, p.drot = 120;
        e.push_back(p);
    }
    {
        Par p = flash("blik3", kParticleStar + 7, 0, 26, 450, 1, 1, 1);
        p.drot = 200;
        e.push_back(p);
    }
    {
        Par p = flash("flare", glowGold, 30, 10, 300, 1, 0.85f, 0.4f, 0.7f);
        set3(p.positiondev, 8, 8, 0);
        set3(p.speeddev, 20, 20, 0);
        e.push_back(p);
    }
    {
        Par p = flash("flare2", glowPink, 30, 10, 300, 1, 0.6f, 0.9f, 0.7f);
        set3(p.positiondev, 8, 8, 0);
        set3(p.speeddev, 20, 20, 0);
        e.push_back(p);
    }
    {
        Par p = flash("flare3", glowBlue, 30, 10, 300, 0.6f, 0.8f, 1, 0.7f);
        set3(p.positiondev, 8, 8, 0);
        set3(p.speeddev, 20, 20, 0);
        e.push_back(p);
    }
    {
        Par p = debrisBurst("goldbox", kParticleTreasure, 1, 60, 16);
        set3(p.speed, 0, 170, 0);
        p.gravity = 320;
        p.partime = 1100;
        e.push_back(p);
    }
    return e;
}

}  // namespace

const std::vector<std::string>& effectNamesTheGameUses() {
    static const std::vector<std::string> names = {
        "addbonus",  "barrelex",  "barrelex1", "bomb1_0",    "bomb1_1",  "bomb1_2",
        "delete",    "endtime",   "endtime1",  "krestbomb",  "levelover0", "levelover2",
        "lightning", "orgasm",    "prototip",  "scorewow",   "victory1", "zep1",
        "score",     "tail2",     "smoke",     "blik1",      "blik3",    "flare",
        "flare1",    "flare2",    "flare3",    "bonusscore", "goldbox"};
    return names;
}

void forgeEffects(ForgeOutput& out) {
    for (const Par& p : effectList()) {
        out.addText("effects/" + p.name + ".par", parText(p));
    }
}

}  // namespace corsavel::forge
