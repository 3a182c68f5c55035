#pragma once
// Two surface-area estimates of a binary voxel model as sums over its 2 x 2 x 2 configurations:
// a table gives the area that one cube in each configuration adds. Voxels are 1 x 1 x zSpacing
// (pixels in x and y; a slice stands for zSpacing pixel rows), areas are in square pixels.
#include "analysis/CubeConfigurations.h"

namespace orvel::analysis {

// The area of the isosurface at level 0.5 that marching cubes puts into a cube of each
// configuration; with binary values every vertex is an edge midpoint. A face whose set corners
// lie on one diagonal joins the set corners. Where the values leave the inside of the cube open
// as well, the surface is the one the Lewiner variant of marching cubes builds (the variant most
// tools use, scikit-image's among them), so that the areas agree with theirs.
ConfigurationTable MarchingCubesAreas(double zSpacing);

// The weighted local configurations of Lindblad (Image and Vision Computing 23, 2005): one
// weight per class of configurations, chosen so that planes of every orientation are measured
// without bias (the published weights with A1 = 0.6380). The weights are for cubic voxels; for a
// z spacing other than 1 each weight is stretched as the marching-cubes surface of its
// configuration is.
ConfigurationTable WeightedConfigurationAreas(double zSpacing);

}  // namespace orvel::analysis
