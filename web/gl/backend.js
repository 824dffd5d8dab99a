// The GL layer's WebGL 2 side: the context, the one shader program that
// evaluates OpenGL's fixed-function vertex stage, and the buffers each draw
// is copied into. Uploads read the module's memory in place (the WebGL 2
// overloads that take a view, an offset and a length), so a frame creates
// no typed arrays and allocates no memory.
//
// The program works in window units (CSS pixels, window.js); the drawing
// buffer holds device pixels, so glViewport is scaled here. The layer keeps
// every setting it passes to WebGL, so that a context the browser has lost
// and given back is rebuilt as it was; the rest of the GL state (lights,
// matrices, the current colour) lives in the module and reaches the shader
// with each draw.
mergeInto(LibraryManager.library, {
  $Backend: {
    gl: null,
    lost: false, // while lost, WebGL calls do nothing and nothing is drawn
    arrays: null, // ARRAY_BUFFERs at attribute locations 0 (position), 1 (colour), 2 (normal)
    blockBytes: 0,
    windowSize: [1, 1], // the window in window units, as the buffer was last sized for it

    // The WebGL settings the program has made, OpenGL's initial values first.
    capabilities: {}, // enum: on
    cullFace: 0x405, // GL_BACK
    clearColour: [0, 0, 0, 0],
    viewport: null, // [x, y, width, height] in window units; null: the whole buffer

    // The drawing buffer's longer side at most: a 4K screen (3840 x 2160)
    // keeps every pixel in full screen, while a 5K or 8K screen would make
    // SwiftShader, or a phone's GPU, fill up to 33 million pixels a frame;
    // there the buffer is scaled down whole (aspect kept) and the browser
    // stretches it. The GL's own limits, if lower, win.
    MAX_BUFFER_SIDE: 4096,
    maxSide: 4096, // the lowest of those

    // Each draw's indices and the vertices they reach; 65536 vertices are as
    // many as freeglut's 16-bit sphere indices can name.
    VERTEX_CAPACITY: 65536,
    INDEX_CAPACITY: 65536,

    // The uniform block is web/gl/layer.h's ShaderBlock, member for member.
    PRELUDE: `#version 300 es
precision highp float;
struct Light {
  vec4 position;
  vec4 ambient;
  vec4 diffuse;
  vec4 spotDirection;
  vec4 spot; // cos(cutoff), exponent, 1 if cutoff != 180, 1 if enabled
};
layout(std140) uniform FixedFunction {
  mat4 modelView;
  mat4 projection;
  mat3 normalMatrix;
  vec4 sceneAmbient;
  vec4 colour;
  vec4 normal;
  vec4 switches; // lighting, normalize, colour material, flat shading
  vec4 arrays;   // colour array, normal array
  Light lights[2];
};
`,

    // OpenGL 2.1's lighting equation (section 2.14.1) without the terms that
    // are always zero in the layer: emission and the specular material are
    // black, and attenuation is 1 (its factors keep their initial values).
    // The spot factor applies to directional lights too, as in Mesa.
    VERTEX: `
layout(location = 0) in vec3 vertexPosition;
layout(location = 1) in vec4 vertexColour;
layout(location = 2) in vec3 vertexNormal;
out vec4 smoothColour;
flat out vec4 flatColour;

vec3 lit(vec3 eye, vec3 n, vec4 ambient, vec4 diffuse) {
  vec3 sum = ambient.rgb * sceneAmbient.rgb;
  for (int i = 0; i < 2; ++i) {
    Light light = lights[i];
    if (light.spot.w == 0.0) continue;
    vec3 toLight = normalize(light.position.xyz - light.position.w * eye);
    float spot = 1.0;
    if (light.spot.z != 0.0) {
      float cosine = dot(-toLight, normalize(light.spotDirection.xyz));
      spot = cosine >= light.spot.x ? pow(max(cosine, 0.0), light.spot.y) : 0.0;
    }
    sum += spot * (ambient.rgb * light.ambient.rgb + max(dot(n, toLight), 0.0) * diffuse.rgb * light.diffuse.rgb);
  }
  return sum;
}

void main() {
  vec4 eye = modelView * vec4(vertexPosition, 1.0);
  gl_Position = projection * eye;
  vec4 c = arrays.x != 0.0 ? vertexColour : colour;
  if (switches.x != 0.0) {
    vec3 n = normalMatrix * (arrays.y != 0.0 ? vertexNormal : normal.xyz);
    if (switches.y != 0.0) n = normalize(n);
    bool material = switches.z != 0.0; // else OpenGL's initial material
    vec4 diffuse = material ? c : vec4(0.8, 0.8, 0.8, 1.0);
    c = vec4(lit(eye.xyz, n, material ? c : vec4(0.2, 0.2, 0.2, 1.0), diffuse), diffuse.a);
  }
  smoothColour = clamp(c, 0.0, 1.0);
  flatColour = smoothColour;
}
`,

    // Flat shading takes each triangle's last vertex, in WebGL 2 as in OpenGL.
    FRAGMENT: `
in vec4 smoothColour;
flat in vec4 flatColour;
out vec4 fragmentColour;
void main() {
  fragmentColour = switches.w != 0.0 ? flatColour : smoothColour;
}
`,

    shader: function(gl, type, source) {
      var shader = gl.createShader(type);
      gl.shaderSource(shader, Backend.PRELUDE + source);
      gl.compileShader(shader);
      if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS) && !gl.isContextLost()) abort('GL layer shader: ' + gl.getShaderInfoLog(shader));
      return shader;
    },

    buffer: function(gl, target, bytes) {
      var buffer = gl.createBuffer();
      gl.bindBuffer(target, buffer);
      gl.bufferData(target, bytes, gl.DYNAMIC_DRAW);
      return buffer;
    },

    // The context of an RGB, double-buffered window with a depth buffer, as
    // glutInitDisplayMode asks for; false without WebGL 2.
    open: function(canvas) {
      var gl = canvas.getContext('webgl2', {alpha: false, depth: true, stencil: false, antialias: false,
                                            preserveDrawingBuffer: false});
      if (!gl) return false;
      Backend.gl = gl;
      Backend.build();
      return true;
    },

    // The program, the buffers and the vertex array, then the program's
    // settings: at the start, and again on a context given back. A context
    // lost meanwhile fails every check quietly; its restore builds again.
    build: function() {
      var gl = Backend.gl;
      var program = gl.createProgram();
      gl.attachShader(program, Backend.shader(gl, gl.VERTEX_SHADER, Backend.VERTEX));
      gl.attachShader(program, Backend.shader(gl, gl.FRAGMENT_SHADER, Backend.FRAGMENT));
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS) && !gl.isContextLost())
        abort('GL layer program: ' + gl.getProgramInfoLog(program));
      gl.useProgram(program);

      var block = gl.getUniformBlockIndex(program, 'FixedFunction');
      gl.uniformBlockBinding(program, block, 0);
      Backend.blockBytes = gl.getActiveUniformBlockParameter(program, block, gl.UNIFORM_BLOCK_DATA_SIZE);
      gl.bindBufferBase(gl.UNIFORM_BUFFER, 0, Backend.buffer(gl, gl.UNIFORM_BUFFER, Backend.blockBytes));

      gl.bindVertexArray(gl.createVertexArray());
      Backend.arrays = [0, 1, 2].map(function(location) {
        var buffer = Backend.buffer(gl, gl.ARRAY_BUFFER, Backend.VERTEX_CAPACITY * 12);
        gl.vertexAttribPointer(location, 3, gl.FLOAT, false, 0, 0);
        return buffer;
      });
      Backend.buffer(gl, gl.ELEMENT_ARRAY_BUFFER, Backend.INDEX_CAPACITY * 4);

      var dims = gl.getParameter(gl.MAX_VIEWPORT_DIMS);
      if (dims) Backend.maxSide = Math.min(Backend.MAX_BUFFER_SIDE, gl.getParameter(gl.MAX_RENDERBUFFER_SIZE), dims[0], dims[1]);
      for (var cap in Backend.capabilities) Backend.capability(+cap, Backend.capabilities[cap]);
      gl.cullFace(Backend.cullFace);
      gl.clearColor.apply(gl, Backend.clearColour);
      Backend.mapViewport();
    },

    // The browser may give a lost context back only if asked to.
    lose: function(event) {
      event.preventDefault();
      Backend.lost = true;
    },

    restore: function() {
      Backend.lost = false;
      Backend.build();
    },

    // The drawing buffer for a window of width x height units shown on
    // pixelWidth x pixelHeight device pixels, within maxSide; true if it
    // changed, which clears it.
    resize: function(width, height, pixelWidth, pixelHeight) {
      var canvas = Backend.gl.canvas;
      var scale = Math.min(1, Backend.maxSide / Math.max(pixelWidth, pixelHeight));
      var bufferWidth = Math.max(1, Math.floor(pixelWidth * scale));
      var bufferHeight = Math.max(1, Math.floor(pixelHeight * scale));
      Backend.windowSize = [Math.max(1, width), Math.max(1, height)];
      var changed = canvas.width !== bufferWidth || canvas.height !== bufferHeight;
      if (changed) {
        canvas.width = bufferWidth;
        canvas.height = bufferHeight;
      }
      Backend.mapViewport();
      return changed;
    },

    // The viewport from window units to buffer pixels.
    mapViewport: function() {
      var gl = Backend.gl;
      var v = Backend.viewport || [0, 0].concat(Backend.windowSize);
      var sx = gl.canvas.width / Backend.windowSize[0];
      var sy = gl.canvas.height / Backend.windowSize[1];
      gl.viewport(Math.round(v[0] * sx), Math.round(v[1] * sy), Math.round(v[2] * sx), Math.round(v[3] * sy));
    },

    capability: function(cap, on) {
      if (on) Backend.gl.enable(cap);
      else Backend.gl.disable(cap);
    },

    // Vertices first..last of a client array go to the same place in the
    // buffer, so that the draw's indices need no rebasing.
    upload: function(location, pointer, first, last) {
      var gl = Backend.gl;
      if (!pointer) {
        gl.disableVertexAttribArray(location);
        return;
      }
      gl.enableVertexAttribArray(location);
      gl.bindBuffer(gl.ARRAY_BUFFER, Backend.arrays[location]);
      gl.bufferSubData(gl.ARRAY_BUFFER, first * 12, HEAPF32, (pointer >> 2) + first * 3, (last - first + 1) * 3);
    },
  },

  webglDraw__deps: ['$Backend'],
  webglDraw: function(block, blockBytes, positions, colours, normals, first, last, indices, count) {
    var gl = Backend.gl;
    if (blockBytes !== Backend.blockBytes) abort('GL layer: the shader block and ShaderBlock differ in size');
    if (last >>> 0 >= Backend.VERTEX_CAPACITY || count > Backend.INDEX_CAPACITY)
      abort('glDrawElements: more vertices or indices than the layer holds');
    gl.bufferSubData(gl.UNIFORM_BUFFER, 0, HEAPU8, block, blockBytes);
    Backend.upload(0, positions, first, last);
    Backend.upload(1, colours, first, last);
    Backend.upload(2, normals, first, last);
    gl.bufferSubData(gl.ELEMENT_ARRAY_BUFFER, 0, HEAPU32, indices >> 2, count);
    gl.drawElements(gl.TRIANGLE_STRIP, count, gl.UNSIGNED_INT, 0);
  },

  webglCapability__deps: ['$Backend'],
  webglCapability: function(cap, on) {
    Backend.capabilities[cap] = !!on;
    Backend.capability(cap, on);
  },

  layerFail: function(what) {
    abort(UTF8ToString(what));
  },

  // WebGL 2 takes these calls as OpenGL does, with the same enums.
  glClearColor__deps: ['$Backend'],
  glClearColor: function(red, green, blue, alpha) {
    Backend.clearColour = [red, green, blue, alpha];
    Backend.gl.clearColor(red, green, blue, alpha);
  },

  glClear__deps: ['$Backend'],
  glClear: function(mask) {
    if (mask & ~0x4100) abort('glClear: only GL_COLOR_BUFFER_BIT and GL_DEPTH_BUFFER_BIT');
    Backend.gl.clear(mask);
  },

  glViewport__deps: ['$Backend'],
  glViewport: function(x, y, width, height) {
    Backend.viewport = [x, y, width, height];
    Backend.mapViewport();
  },

  glCullFace__deps: ['$Backend'],
  glCullFace: function(mode) {
    Backend.cullFace = mode;
    Backend.gl.cullFace(mode);
  },
});
