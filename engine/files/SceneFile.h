#pragma once

namespace zav {

class File;
class Object;

// Reads a scene from a file of the virtual tree (or a disk file) with the
// scene codec its extension selects. The root is handed out with a count of
// 0: take a reference at once. 0; 1 the codec failed; 3 a null argument or
// no scene codec for the file.
int LoadScene(File* file, Object** scene);
// Writes `scene` as the root of a scene file through the scene codec the
// file's extension selects. 0; 1 the codec failed; 3 as for LoadScene.
int SaveScene(File* file, Object* scene);

}  // namespace zav
