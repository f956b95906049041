// <zev-video>: plays a ZEV video with real transparency on any page.
//
// A ZEV video is an ordinary video file (H.264, H.265 or AV1 in MP4, AV1 or
// VP9 in WebM: whatever the browser decodes) whose every frame holds two regions:
// the alpha as a grey mask and the colour (usually already multiplied by
// the alpha, "laid onto black"). A plain <video> shows both side by side; this
// element keeps a hidden <video> as the decoder and recombines the regions
// into one transparent frame in a WebGL shader each time a new frame arrives.
//
//   <script type="module" src="zev-video.js"></script>
//   <zev-video src="output/zev.mp4" autoplay loop muted></zev-video>
//
// Where the regions lie comes from the description file written beside the
// video (description="output/zev.json"), or, without one, from the `layout`
// and `premultiplied` attributes applied to the exact halves of the frame.
// No build step and no dependencies: the file is loaded as it is.

export const LAYOUTS = Object.freeze(['mask-left', 'mask-right', 'mask-top', 'mask-bottom']);

// The highest description version this player understands: a reader refuses
// a higher one rather than guess at fields it does not know.
const DESCRIPTION_VERSION = 1;

// Passed on from the inner <video> unchanged, so a page listens to a
// <zev-video> exactly as it would to a <video>. 'error' is handled apart,
// because the element has failures of its own (description, WebGL).
const MEDIA_EVENTS = Object.freeze([
    'abort', 'canplay', 'canplaythrough', 'durationchange', 'emptied', 'ended', 'loadeddata',
    'loadedmetadata', 'loadstart', 'pause', 'play', 'playing', 'progress', 'ratechange', 'seeked',
    'seeking', 'stalled', 'suspend', 'timeupdate', 'volumechange', 'waiting',
]);

// Attributes that mean the same on the inner <video>.
const MIRRORED_ATTRIBUTES = Object.freeze(['autoplay', 'loop', 'muted', 'crossorigin', 'preload']);

// Frame callbacks say exactly when, and which, video frame is presented.
const HAS_FRAME_CALLBACKS = 'requestVideoFrameCallback' in HTMLVideoElement.prototype;

const VERTEX_SHADER = `
attribute vec2 corner;
varying vec2 framePoint;
void main() {
    // framePoint runs from (0, 0) at the frame's top left to (1, 1) at its
    // bottom right, the way the regions are measured.
    framePoint = corner;
    gl_Position = vec4(corner.x * 2.0 - 1.0, 1.0 - corner.y * 2.0, 0.0, 1.0);
}`;

const FRAGMENT_SHADER = `
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;  // texel positions in frames thousands of pixels wide
#else
precision mediump float;
#endif
uniform sampler2D packedFrame;
uniform vec2 packedSize;
uniform vec4 colourRect;  // x, y, width, height in pixels of the packed frame
uniform vec4 maskRect;
uniform float premultiplied;
varying vec2 framePoint;

// Kept half a texel inside the region, so the bilinear sampler never blends
// in the neighbouring region, the gap or the frame's edge.
vec2 inside(vec4 rect) {
    vec2 texel = rect.xy + framePoint * rect.zw;
    texel = clamp(texel, rect.xy + 0.5, rect.xy + rect.zw - 0.5);
    return texel / packedSize;
}

void main() {
    vec3 colour = texture2D(packedFrame, inside(colourRect)).rgb;
    // The mask is grey, so all of it is in the luma the codec keeps best;
    // weighing the channels as luma does leaves out most chroma noise.
    float alpha = dot(texture2D(packedFrame, inside(maskRect)).rgb, vec3(0.299, 0.587, 0.114));
    // Premultiplied colour can never exceed its alpha: what does is codec
    // noise, which would otherwise glow where the frame is transparent.
    vec3 fromPremultiplied = min(colour, vec3(alpha));
    vec3 fromStraight = colour * alpha;
    gl_FragColor = vec4(mix(fromStraight, fromPremultiplied, premultiplied), alpha);
}`;

// The regions of a video without a description: the exact halves of the
// packed frame, the mask on the side the layout names.
export function regionsForLayout(layout, packedWidth, packedHeight, premultiplied = true) {
    if (!LAYOUTS.includes(layout)) throw new Error(`unknown layout "${layout}"`);
    const across = layout === 'mask-left' || layout === 'mask-right';
    const half = across
        ? { width: Math.floor(packedWidth / 2), height: packedHeight }
        : { width: packedWidth, height: Math.floor(packedHeight / 2) };
    const first = { x: 0, y: 0, ...half };
    const second = across ? { x: half.width, y: 0, ...half } : { x: 0, y: half.height, ...half };
    const maskFirst = layout === 'mask-left' || layout === 'mask-top';
    return {
        packed: { width: packedWidth, height: packedHeight },
        frame: { ...half },
        maskRect: maskFirst ? first : second,
        colourRect: maskFirst ? second : first,
        premultiplied,
    };
}

// The regions a description file gives, checked so a damaged or foreign file
// fails with a reason instead of drawing garbage.
export function regionsFromDescription(json) {
    if (json === null || typeof json !== 'object' || json.format !== 'zev')
        throw new Error('the description\'s format is not "zev"');
    if (!Number.isInteger(json.version) || json.version < 1 || json.version > DESCRIPTION_VERSION)
        throw new Error(`the description's version ${json.version} is not one this player reads`);
    const packed = { width: json.width, height: json.height };
    if (!isPositiveSize(packed)) throw new Error('the description has no frame size');
    for (const name of ['colourRect', 'maskRect']) {
        if (!liesInside(json[name], packed)) {
            const size = `${packed.width}×${packed.height}`;
            throw new Error(`the description's ${name} does not lie inside its ${size} frame`);
        }
    }
    const frame = isPositiveSize(json.frame)
        ? { width: json.frame.width, height: json.frame.height }
        : { width: json.colourRect.width, height: json.colourRect.height };
    return {
        packed,
        frame,
        colourRect: pickRect(json.colourRect),
        maskRect: pickRect(json.maskRect),
        premultiplied: json.premultiplied !== false,
        video: typeof json.video === 'string' && json.video ? json.video : 'zev.mp4',
    };
}

function isPositiveSize(size) {
    return size != null && Number.isInteger(size.width) && Number.isInteger(size.height) &&
        size.width > 0 && size.height > 0;
}

function liesInside(rect, packed) {
    return isPositiveSize(rect) && Number.isInteger(rect.x) && Number.isInteger(rect.y) &&
        rect.x >= 0 && rect.y >= 0 && rect.x + rect.width <= packed.width &&
        rect.y + rect.height <= packed.height;
}

function pickRect(rect) {
    return { x: rect.x, y: rect.y, width: rect.width, height: rect.height };
}

// Everything the element does with WebGL: one texture the video frame is
// uploaded into, one quad, one program.
class FrameRenderer {
    constructor(canvas) {
        const gl = canvas.getContext('webgl', {
            alpha: true,
            // The page composites the canvas as premultiplied colour, which is
            // what a ZEV video mostly carries already: no division by alpha,
            // so no noise blown up where the frame is nearly transparent.
            premultipliedAlpha: true,
            antialias: false,
            depth: false,
            stencil: false,
        });
        if (!gl) throw new Error('WebGL is not available in this browser');
        this.gl = gl;
        this.program = linkProgram(gl, VERTEX_SHADER, FRAGMENT_SHADER);
        gl.useProgram(this.program);

        const corners = gl.createBuffer();
        gl.bindBuffer(gl.ARRAY_BUFFER, corners);
        gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([0, 0, 1, 0, 0, 1, 1, 1]), gl.STATIC_DRAW);
        const corner = gl.getAttribLocation(this.program, 'corner');
        gl.enableVertexAttribArray(corner);
        gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);

        this.texture = gl.createTexture();
        gl.bindTexture(gl.TEXTURE_2D, this.texture);
        // Video sizes are rarely powers of two: WebGL 1 then allows neither
        // repeat nor mipmaps.
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
        gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
        // The first row of the video stays the first row of the texture, so
        // regions are measured from the top as the description measures them.
        gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);
        gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);

        this.uniforms = {};
        for (const name of ['packedFrame', 'packedSize', 'colourRect', 'maskRect', 'premultiplied'])
            this.uniforms[name] = gl.getUniformLocation(this.program, name);
        gl.uniform1i(this.uniforms.packedFrame, 0);
    }

    draw(video, regions) {
        const gl = this.gl;
        const canvas = gl.canvas;
        if (canvas.width !== regions.frame.width || canvas.height !== regions.frame.height) {
            canvas.width = regions.frame.width;
            canvas.height = regions.frame.height;
        }
        gl.viewport(0, 0, canvas.width, canvas.height);
        gl.activeTexture(gl.TEXTURE0);
        gl.bindTexture(gl.TEXTURE_2D, this.texture);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, gl.RGB, gl.UNSIGNED_BYTE, video);
        // The decoded size, not the description's: a decoder that pads the
        // frame would otherwise shift every sample.
        gl.uniform2f(this.uniforms.packedSize, video.videoWidth, video.videoHeight);
        const { colourRect: c, maskRect: m } = regions;
        gl.uniform4f(this.uniforms.colourRect, c.x, c.y, c.width, c.height);
        gl.uniform4f(this.uniforms.maskRect, m.x, m.y, m.width, m.height);
        gl.uniform1f(this.uniforms.premultiplied, regions.premultiplied ? 1 : 0);
        gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    }

    clear() {
        const gl = this.gl;
        gl.clearColor(0, 0, 0, 0);
        gl.clear(gl.COLOR_BUFFER_BIT);
    }
}

function linkProgram(gl, vertexSource, fragmentSource) {
    const program = gl.createProgram();
    for (const [type, source] of [[gl.VERTEX_SHADER, vertexSource], [gl.FRAGMENT_SHADER, fragmentSource]]) {
        const shader = gl.createShader(type);
        gl.shaderSource(shader, source);
        gl.compileShader(shader);
        if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS) && !gl.isContextLost())
            throw new Error(`a shader does not compile: ${gl.getShaderInfoLog(shader)}`);
        gl.attachShader(program, shader);
    }
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS) && !gl.isContextLost())
        throw new Error(`the shaders do not link: ${gl.getProgramInfoLog(program)}`);
    return program;
}

const STYLE = `
:host { display: inline-block; position: relative; line-height: 0; }
:host([hidden]) { display: none; }
canvas { display: block; }
/* The video only decodes; the canvas shows. Kept in the layout rather than
   display: none, the ordinary state of a playing video, but invisible. */
video { position: absolute; left: 0; top: 0; width: 1px; height: 1px; opacity: 0;
        pointer-events: none; z-index: -1; }
`;

export class ZevVideo extends HTMLElement {
    static get observedAttributes() {
        return ['src', 'description', 'layout', 'premultiplied', 'width', 'height', ...MIRRORED_ATTRIBUTES];
    }

    #video;
    #canvas;
    #renderer = null;
    #regions = null;
    #description = null;  // regions read from the description file, when there is one
    #loadToken = 0;       // tells a stale description fetch from the latest one
    #sourceReady = Promise.resolve();
    #pendingTime = null;
    #frameCallback = 0;
    #presentedTime = null; // timestamp of the frame the browser last presented
    #error = null;

    constructor() {
        super();
        const root = this.attachShadow({ mode: 'open' });
        const style = document.createElement('style');
        style.textContent = STYLE;
        this.#video = document.createElement('video');
        // Phones would otherwise take the hidden decoder to full screen.
        this.#video.playsInline = true;
        this.#video.setAttribute('playsinline', '');
        this.#canvas = document.createElement('canvas');
        this.#canvas.setAttribute('part', 'canvas');
        this.#canvas.width = 0;
        this.#canvas.height = 0;
        root.append(style, this.#video, this.#canvas);

        for (const type of MEDIA_EVENTS)
            this.#video.addEventListener(type, () => this.dispatchEvent(new Event(type)));
        this.#video.addEventListener('error', () => {
            // A MediaError's message is often empty; its code is not.
            const { code, message } = this.#video.error ?? {};
            this.#fail(new Error(`${this.#video.currentSrc || 'the video'} cannot be played` +
                (message ? `: ${message}` : ` (media error ${code})`)));
        });
        this.#video.addEventListener('loadedmetadata', () => this.#updateRegions());
        // Frame callbacks draw what the video presents (#followFrames). These
        // draw too, for browsers without them and for a frame presented while
        // the video could not yet be read.
        this.#video.addEventListener('loadeddata', () => this.#draw());
        this.#video.addEventListener('seeked', () => {
            this.#draw();
            // The frame 'seeked' can read may still be the one before the seek.
            if (!HAS_FRAME_CALLBACKS) requestAnimationFrame(() => this.#draw());
        });
        this.#video.addEventListener('play', () => {
            if (!HAS_FRAME_CALLBACKS) this.#drawWhilePlaying();
        });
        this.#video.addEventListener('emptied', () => this.#renderer?.clear());

        this.#canvas.addEventListener('webglcontextlost', (event) => {
            // Asking to get the context back: the page may keep playing.
            event.preventDefault();
            this.#renderer = null;
        });
        this.#canvas.addEventListener('webglcontextrestored', () => this.#draw());
    }

    connectedCallback() {
        for (const name of MIRRORED_ATTRIBUTES) this.#mirror(name);
        if (!this.#video.getAttribute('src') && this.#loadToken === 0) this.#load();
        else this.#followFrames();
    }

    disconnectedCallback() {
        this.#stopFollowingFrames();
    }

    attributeChangedCallback(name, oldValue, newValue) {
        if (oldValue === newValue) return;
        if (MIRRORED_ATTRIBUTES.includes(name)) {
            this.#mirror(name);
        } else if (name === 'src' || name === 'description') {
            if (this.isConnected) this.#load();
        } else if (name === 'layout' || name === 'premultiplied') {
            this.#updateRegions();
            this.#draw();
        } else {
            this.#applyDisplaySize();
        }
    }

    // --- what a <video> offers ------------------------------------------------

    get src() { return this.getAttribute('src') ?? ''; }
    set src(value) { this.setAttribute('src', value); }
    get description() { return this.getAttribute('description') ?? ''; }
    set description(value) { this.setAttribute('description', value); }
    get layout() { return this.getAttribute('layout') ?? 'mask-left'; }
    set layout(value) { this.setAttribute('layout', value); }
    // A ZEV video's colour is laid onto black unless it says otherwise, so
    // only premultiplied="false" asks for straight colour.
    get premultiplied() { return this.getAttribute('premultiplied') !== 'false'; }
    set premultiplied(value) { this.setAttribute('premultiplied', value ? 'true' : 'false'); }
    get autoplay() { return this.hasAttribute('autoplay'); }
    set autoplay(value) { this.toggleAttribute('autoplay', Boolean(value)); }
    get loop() { return this.hasAttribute('loop'); }
    set loop(value) { this.toggleAttribute('loop', Boolean(value)); }
    get muted() { return this.#video.muted; }
    set muted(value) { this.#video.muted = Boolean(value); }
    get volume() { return this.#video.volume; }
    set volume(value) { this.#video.volume = value; }
    get playbackRate() { return this.#video.playbackRate; }
    set playbackRate(value) { this.#video.playbackRate = value; }

    get currentTime() { return this.#pendingTime ?? this.#video.currentTime; }
    set currentTime(seconds) {
        // While the description is still on its way the video has no source
        // yet, and a source change would forget the position.
        if (this.#video.getAttribute('src')) this.#seek(seconds);
        else this.#pendingTime = seconds;
    }
    get duration() { return this.#video.duration; }
    get paused() { return this.#video.paused; }
    get ended() { return this.#video.ended; }
    get seeking() { return this.#video.seeking; }
    get readyState() { return this.#video.readyState; }
    get buffered() { return this.#video.buffered; }
    get played() { return this.#video.played; }
    get seekable() { return this.#video.seekable; }
    get error() { return this.#error; }
    // The size of the animation, not of the packed video.
    get videoWidth() { return this.#regions?.frame.width ?? 0; }
    get videoHeight() { return this.#regions?.frame.height ?? 0; }
    // Where the mask and the colour are read from, once known.
    get regions() { return this.#regions ? structuredClone(this.#regions) : null; }

    async play() {
        await this.#sourceReady;
        return this.#video.play();
    }

    pause() { this.#video.pause(); }

    load() { this.#load(); }

    // --- loading --------------------------------------------------------------

    async #load() {
        const token = ++this.#loadToken;
        this.#error = null;
        this.#description = null;
        this.#regions = null;
        const descriptionUrl = this.getAttribute('description');
        if (!descriptionUrl) {
            this.#sourceReady = Promise.resolve();
            this.#setSource(this.getAttribute('src'));
            return;
        }
        let settle;
        this.#sourceReady = new Promise((resolve) => { settle = resolve; });
        try {
            const response = await fetch(descriptionUrl);
            if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
            const description = regionsFromDescription(await response.json());
            if (token !== this.#loadToken) return;
            this.#description = description;
            // An explicit src wins; otherwise the video the description names,
            // found beside the description file.
            this.#setSource(this.getAttribute('src') || new URL(description.video, response.url).href);
        } catch (failure) {
            // Named, since a page may load several: unreadable, not JSON, or
            // not a description this player reads.
            if (token === this.#loadToken) this.#fail(new Error(`${descriptionUrl}: ${failure.message}`));
        } finally {
            settle();
        }
    }

    #setSource(url) {
        this.#renderer?.clear();
        this.#presentedTime = null;
        if (url) this.#video.setAttribute('src', url);
        else this.#video.removeAttribute('src');
        this.#video.load();
        this.#stopFollowingFrames();
        this.#followFrames();
        if (this.#pendingTime !== null) {
            this.#seek(this.#pendingTime);
            this.#pendingTime = null;
        }
    }

    #seek(seconds) {
        this.#presentedTime = null;
        this.#video.currentTime = seconds;
    }

    #updateRegions() {
        const video = this.#video;
        if (this.#description) {
            this.#regions = this.#description;
        } else if (video.videoWidth > 0) {
            try {
                this.#regions = regionsForLayout(this.layout, video.videoWidth, video.videoHeight,
                    this.premultiplied);
            } catch (failure) {
                this.#regions = null;
                this.#fail(failure);
            }
        }
        this.#applyDisplaySize();
    }

    #applyDisplaySize() {
        // Like a <video>: the animation's own size unless width or height say
        // otherwise, and the other side follows the aspect ratio.
        const frame = this.#regions?.frame;
        const width = Number(this.getAttribute('width')) || 0;
        const height = Number(this.getAttribute('height')) || 0;
        let cssWidth = width || frame?.width || 0;
        let cssHeight = height || frame?.height || 0;
        if (frame && width && !height) cssHeight = (width * frame.height) / frame.width;
        if (frame && height && !width) cssWidth = (height * frame.width) / frame.height;
        this.#canvas.style.width = `${cssWidth}px`;
        this.#canvas.style.height = `${cssHeight}px`;
    }

    #mirror(name) {
        const value = this.getAttribute(name);
        if (value === null) this.#video.removeAttribute(name);
        else this.#video.setAttribute(name, value);
        // The muted attribute only sets the default; the property is what plays.
        if (name === 'muted') this.#video.muted = value !== null;
    }

    #fail(failure) {
        this.#error = failure instanceof Error ? failure : new Error(String(failure));
        this.dispatchEvent(new Event('error'));
    }

    // --- drawing --------------------------------------------------------------

    // Draws every frame the browser presents: each one while playing, the
    // one a seek lands on, the first one. The callback stays registered for
    // as long as the element is on the page; it costs nothing while no new
    // frame comes, and re-registering only when needed misses frames (a
    // first frame presented after a seek began takes the callback meant for
    // the seek's frame).
    #followFrames() {
        const video = this.#video;
        if (!HAS_FRAME_CALLBACKS || this.#frameCallback || !this.isConnected) return;
        const onFrame = (now, frame) => {
            this.#frameCallback = video.requestVideoFrameCallback(onFrame);
            this.#presentedTime = frame.mediaTime;
            // During a seek the frame can be presented before the video can
            // be read (readyState below HAVE_CURRENT_DATA): 'seeked' draws it.
            this.#draw();
        };
        this.#frameCallback = video.requestVideoFrameCallback(onFrame);
    }

    #stopFollowingFrames() {
        if (this.#frameCallback) this.#video.cancelVideoFrameCallback(this.#frameCallback);
        this.#frameCallback = 0;
    }

    #drawWhilePlaying() {
        const video = this.#video;
        const onAnimationFrame = () => {
            this.#draw();
            if (!video.paused && !video.ended && this.isConnected) requestAnimationFrame(onAnimationFrame);
        };
        requestAnimationFrame(onAnimationFrame);
    }

    #draw() {
        const video = this.#video;
        if (!this.#regions || video.readyState < HTMLMediaElement.HAVE_CURRENT_DATA) return;
        try {
            this.#renderer ??= new FrameRenderer(this.#canvas);
            this.#renderer.draw(video, this.#regions);
        } catch (failure) {
            this.#renderer = null;
            this.#fail(failure);
            return;
        }
        // Lets a page (or a test) know what the canvas shows now.
        // mediaTime is the drawn frame's timestamp when the browser has said
        // which frame it presented since the last seek, null otherwise.
        const detail = { currentTime: video.currentTime, mediaTime: this.#presentedTime };
        this.dispatchEvent(new CustomEvent('zevframe', { detail }));
    }
}

if (!customElements.get('zev-video')) customElements.define('zev-video', ZevVideo);
