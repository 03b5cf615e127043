#include "gfx/mesh.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gfx/animation.h"
#include "platform/message_box.h"
#include "platform/render_backend.h"
#include "resources/asset_registry.h"

namespace corsavel {

namespace {

constexpr size_t kHeaderSize = 37;
constexpr size_t kSmoothOffset = 3;
constexpr size_t kPivotOffset = 4;
constexpr size_t kCountsOffset = 29;

struct MeshLibrary {
    StaticMesh* entries[kMaxMeshes] = {};
    int count = 0;
};
MeshLibrary meshLibrary;

// Little-endian reads that never pass the end of the buffer.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    void seek(size_t offset) { pos_ = offset; }
    bool readInt(int32_t* out) {
        uint32_t bits = 0;
        if (!readBits(&bits)) {
            return false;
        }
        *out = static_cast<int32_t>(bits);
        return true;
    }
    bool readFloat(float* out) {
        uint32_t bits = 0;
        if (!readBits(&bits)) {
            return false;
        }
        std::memcpy(out, &bits, sizeof bits);
        return true;
    }

private:
    bool readBits(uint32_t* out) {
        if (pos_ > size_ || size_ - pos_ < 4) {
            return false;
        }
        const uint8_t* p = data_ + pos_;
        *out = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        pos_ += 4;
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void putBits(std::vector<uint8_t>& out, uint32_t bits) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
}

void putFloat(std::vector<uint8_t>& out, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putBits(out, bits);
}

bool readVec3(ByteReader& reader, Vec3* out) {
    return reader.readFloat(&out->x) && reader.readFloat(&out->y) && reader.readFloat(&out->z);
}

bool finite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Vec3 normalised(Vec3 v) {
    float len = length(v);
    return len > 0.0f ? v * (1.0f / len) : Vec3{};
}

// Face normal (c - a) x (b - a), normalised; zero for a degenerate face.
// Worked in double so that huge but finite coordinates cannot overflow.
Vec3 faceNormal(const MeshFile& file, int face) {
    Vec3 a = file.positions[file.faces[face * 3]];
    Vec3 b = file.positions[file.faces[face * 3 + 1]];
    Vec3 c = file.positions[file.faces[face * 3 + 2]];
    double ux = double(c.x) - a.x, uy = double(c.y) - a.y, uz = double(c.z) - a.z;
    double vx = double(b.x) - a.x, vy = double(b.y) - a.y, vz = double(b.z) - a.z;
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(len > 0.0) || !std::isfinite(len)) {
        return {};
    }
    return {float(nx / len), float(ny / len), float(nz / len)};
}

void computeBounds(const MeshFile& file, StaticMesh* mesh) {
    mesh->boxCentre = {};
    mesh->boxHalfSize = {};
    if (!file.positions.empty()) {
        Vec3 lo = file.positions[0];
        Vec3 hi = lo;
        for (const Vec3& p : file.positions) {
            lo = {std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
            hi = {std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
        }
        // Halved before subtracting so that the extent of huge coordinates
        // stays finite.
        mesh->boxHalfSize = hi * 0.5f - lo * 0.5f;
        mesh->boxCentre = lo + mesh->boxHalfSize;
    }
    mesh->sphereCentre = mesh->boxCentre;
    Vec3 h = mesh->boxHalfSize;
    mesh->sphereRadius =
        static_cast<float>(std::sqrt(double(h.x) * h.x + double(h.y) * h.y + double(h.z) * h.z));
}

void buildFlat(const MeshFile& file, StaticMesh* mesh) {
    int faces = static_cast<int>(file.faces.size() / 3);
    mesh->vertices.resize(static_cast<size_t>(faces) * 3);
    for (int f = 0; f < faces; ++f) {
        Vec3 normal = faceNormal(file, f);
        for (int k = 0; k < 3; ++k) {
            int corner = f * 3 + k;
            MeshVertex& out = mesh->vertices[corner];
            out.position = file.positions[file.faces[corner]];
            out.normal = normal;
            out.u = file.cornerUvs[corner].u;
            out.v = 1.0f - file.cornerUvs[corner].v;
        }
    }
}

// Normals summed over the faces of each vertex; corners welded per vertex by
// equal (u, v), vertices in file order, pairs in order of first use.
MeshError buildSmooth(const MeshFile& file, StaticMesh* mesh) {
    size_t vertexCount = file.positions.size();
    size_t cornerCount = file.faces.size();
    std::vector<Vec3> normals(vertexCount);
    for (size_t f = 0; f < cornerCount / 3; ++f) {
        Vec3 n = faceNormal(file, static_cast<int>(f));
        for (int k = 0; k < 3; ++k) {
            Vec3& sum = normals[file.faces[f * 3 + k]];
            sum = sum + n;
        }
    }
    std::vector<uint32_t> firstCorner(vertexCount + 1, 0);
    for (int32_t index : file.faces) {
        ++firstCorner[index + 1];
    }
    for (size_t v = 0; v < vertexCount; ++v) {
        firstCorner[v + 1] += firstCorner[v];
    }
    std::vector<uint32_t> cornersByVertex(cornerCount);
    std::vector<uint32_t> fill(firstCorner.begin(), firstCorner.end() - 1);
    for (size_t c = 0; c < cornerCount; ++c) {
        cornersByVertex[fill[file.faces[c]]++] = static_cast<uint32_t>(c);
    }
    mesh->cornerMap.assign(cornerCount, 0);
    mesh->vertices.clear();
    for (size_t v = 0; v < vertexCount; ++v) {
        size_t firstRender = mesh->vertices.size();
        Vec3 normal = normalised(normals[v]);
        for (uint32_t i = firstCorner[v]; i < firstCorner[v + 1]; ++i) {
            uint32_t corner = cornersByVertex[i];
            float u = file.cornerUvs[corner].u;
            float vv = 1.0f - file.cornerUvs[corner].v;
            size_t match = firstRender;
            while (match < mesh->vertices.size() &&
                   !(mesh->vertices[match].u == u && mesh->vertices[match].v == vv)) {
                ++match;
            }
            if (match == mesh->vertices.size()) {
                if (match >= static_cast<size_t>(kMaxMeshRenderVertices)) {
                    return MeshError::TooManyVertices;
                }
                mesh->vertices.push_back({file.positions[v], normal, u, vv});
            }
            mesh->cornerMap[corner] = static_cast<uint32_t>(match);
        }
    }
    return MeshError::None;
}

}  // namespace

const char* meshErrorText(MeshError error) {
    switch (error) {
        case MeshError::None:
            return "ok";
        case MeshError::Short:
            return "the file ends early";
        case MeshError::BadCount:
            return "bad vertex or face count";
        case MeshError::IndexOutOfRange:
            return "a face names a missing vertex";
        case MeshError::NonFinite:
            return "a number is not finite";
        case MeshError::TooManyVertices:
            return "too many render vertices";
    }
    return "unknown";
}

MeshError parseMeshFile(const uint8_t* data, size_t size, MeshFile* out) {
    if (data == nullptr || size < kHeaderSize) {
        return MeshError::Short;
    }
    MeshFile file;
    file.smooth = data[kSmoothOffset] != 0;
    ByteReader reader(data, size);
    reader.seek(kPivotOffset);
    readVec3(reader, &file.pivotTranslation);
    readVec3(reader, &file.pivotRotation);
    if (!finite(file.pivotTranslation) || !finite(file.pivotRotation)) {
        return MeshError::NonFinite;
    }
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    reader.seek(kCountsOffset);
    reader.readInt(&vertexCount);
    reader.readInt(&faceCount);
    if (vertexCount < 0 || faceCount < 0 || vertexCount > kMaxMeshElements ||
        faceCount > kMaxMeshElements) {
        return MeshError::BadCount;
    }
    size_t needed = kHeaderSize + static_cast<size_t>(vertexCount) * 12 +
                    static_cast<size_t>(faceCount) * (12 + 24);
    if (size < needed) {
        return MeshError::Short;
    }
    file.positions.resize(vertexCount);
    for (Vec3& p : file.positions) {
        readVec3(reader, &p);
        if (!finite(p)) {
            return MeshError::NonFinite;
        }
    }
    file.faces.resize(static_cast<size_t>(faceCount) * 3);
    for (int32_t& index : file.faces) {
        reader.readInt(&index);
        if (index < 0 || index >= vertexCount) {
            return MeshError::IndexOutOfRange;
        }
    }
    file.cornerUvs.resize(static_cast<size_t>(faceCount) * 3);
    for (Uv& uv : file.cornerUvs) {
        reader.readFloat(&uv.u);
        reader.readFloat(&uv.v);
        if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) {
            return MeshError::NonFinite;
        }
    }
    *out = std::move(file);
    return MeshError::None;
}

std::vector<uint8_t> writeStaticMesh(const MeshFile& mesh) {
    std::vector<uint8_t> out(kSmoothOffset, 0);
    out.push_back(mesh.smooth ? 1 : 0);
    for (Vec3 v : {mesh.pivotTranslation, mesh.pivotRotation}) {
        putFloat(out, v.x);
        putFloat(out, v.y);
        putFloat(out, v.z);
    }
    out.push_back(0);
    putBits(out, static_cast<uint32_t>(mesh.positions.size()));
    putBits(out, static_cast<uint32_t>(mesh.faces.size() / 3));
    for (Vec3 p : mesh.positions) {
        putFloat(out, p.x);
        putFloat(out, p.y);
        putFloat(out, p.z);
    }
    for (size_t i = 0; i < mesh.faces.size() / 3 * 3; ++i) {
        putBits(out, static_cast<uint32_t>(mesh.faces[i]));
    }
    for (size_t i = 0; i < mesh.faces.size() / 3 * 3; ++i) {
        Uv uv = i < mesh.cornerUvs.size() ? mesh.cornerUvs[i] : Uv{};
        putFloat(out, uv.u);
        putFloat(out, uv.v);
    }
    return out;
}

Matrix4 eulerRotation(Vec3 r) {
    return quaternionMatrix(eulerQuaternion(r));
}

MeshError buildStaticMesh(const MeshFile& file, StaticMesh* out) {
    StaticMesh& mesh = *out;
    mesh.smooth = file.smooth;
    mesh.faceCount = static_cast<int32_t>(file.faces.size() / 3);
    mesh.local = eulerRotation(file.pivotRotation);
    mesh.local.m[3][0] = file.pivotTranslation.x;
    mesh.local.m[3][1] = file.pivotTranslation.y;
    mesh.local.m[3][2] = file.pivotTranslation.z;
    mesh.cornerMap.clear();
    if (file.smooth) {
        MeshError error = buildSmooth(file, &mesh);
        if (error != MeshError::None) {
            return error;
        }
    } else {
        buildFlat(file, &mesh);
    }
    mesh.vertexCount = static_cast<int32_t>(mesh.vertices.size());
    computeBounds(file, &mesh);
    return MeshError::None;
}

MeshError parseStaticMesh(const uint8_t* data, size_t size, StaticMesh* out) {
    MeshFile file;
    MeshError error = parseMeshFile(data, size, &file);
    return error != MeshError::None ? error : buildStaticMesh(file, out);
}

bool createStaticMeshBuffers(StaticMesh* mesh) {
    if (mesh->vertexCount <= 0 || mesh->faceCount <= 0) {
        return true;
    }
    std::vector<Vec3> positions(mesh->vertexCount);
    std::vector<Vec3> normals(mesh->vertexCount);
    std::vector<Uv> uvs(mesh->vertexCount);
    for (int i = 0; i < mesh->vertexCount; ++i) {
        positions[i] = mesh->vertices[i].position;
        normals[i] = mesh->vertices[i].normal;
        uvs[i] = {mesh->vertices[i].u, mesh->vertices[i].v};
    }
    const uint32_t format = kFormatPosition | kFormatNormal | kFormatTex1;
    if (mesh->smooth) {
        return createMeshBuffers(&mesh->buffers, format, positions.data(), normals.data(),
                                 uvs.data(), mesh->vertexCount, mesh->cornerMap.data(),
                                 mesh->faceCount, true);
    }
    // Flat meshes hold their corners in triangle order already.
    std::vector<uint32_t> corners(mesh->vertexCount);
    for (int i = 0; i < mesh->vertexCount; ++i) {
        corners[i] = static_cast<uint32_t>(i);
    }
    return createMeshBuffers(&mesh->buffers, format, positions.data(), normals.data(), uvs.data(),
                             mesh->vertexCount, corners.data(), mesh->faceCount, false);
}

StaticMesh* findStaticMesh(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < meshLibrary.count; ++i) {
        if (std::strcmp(meshLibrary.entries[i]->name, name) == 0) {
            return meshLibrary.entries[i];
        }
    }
    return nullptr;
}

StaticMesh* loadStaticMesh(const char* name) {
    if (name == nullptr || std::strlen(name) >= static_cast<size_t>(kMeshNameSize)) {
        return nullptr;
    }
    if (StaticMesh* found = findStaticMesh(name)) {
        return found;
    }
    if (meshLibrary.count >= kMaxMeshes) {
        return nullptr;
    }
    int32_t size = 0;
    uint8_t* data = loadFile(name, &size, true);
    auto* mesh = new StaticMesh;
    MeshError error = parseStaticMesh(data, data != nullptr ? static_cast<size_t>(size) : 0, mesh);
    if (data != nullptr) {
        releaseAsset(data);
    }
    if (error != MeshError::None) {
        delete mesh;
        std::fprintf(stderr, "%s: %s\n", name, meshErrorText(error));
        fatalLoadingError(name);
    }
    std::snprintf(mesh->name, sizeof mesh->name, "%s", name);
    createStaticMeshBuffers(mesh);
    meshLibrary.entries[meshLibrary.count++] = mesh;
    return mesh;
}

int staticMeshCount() {
    return meshLibrary.count;
}

void freeMeshLibrary() {
    for (int i = 0; i < meshLibrary.count; ++i) {
        releaseMeshBuffers(&meshLibrary.entries[i]->buffers);
        delete meshLibrary.entries[i];
        meshLibrary.entries[i] = nullptr;
    }
    meshLibrary.count = 0;
}

}  // namespace corsavel
