vs_2_0
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
dcl_blendweight v3
dcl_blendindices v4
dcl_tangent v5
dcl_binormal v6
mul r9.x, v4.x, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
m3x3 r11.xyz, v1, c[a0.x + 20]
m3x3 r6.xyz, v5, c[a0.x + 20]
m3x3 r7.xyz, v6, c[a0.x + 20]
mul r0.xyz, r10, v3.x
mul r1.xyz, r11, v3.x
mul r8.xyz, r6, v3.x
mul r4.xyz, r7, v3.x
mul r9.x, v4.y, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
m3x3 r11.xyz, v1, c[a0.x + 20]
m3x3 r6.xyz, v5, c[a0.x + 20]
m3x3 r7.xyz, v6, c[a0.x + 20]
mad r0.xyz, r10, v3.y, r0
mad r1.xyz, r11, v3.y, r1
mad r8.xyz, r6, v3.y, r8
mad r4.xyz, r7, v3.y, r4
mul r9.x, v4.z, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
m3x3 r11.xyz, v1, c[a0.x + 20]
m3x3 r6.xyz, v5, c[a0.x + 20]
m3x3 r7.xyz, v6, c[a0.x + 20]
mad r0.xyz, r10, v3.z, r0
mad r1.xyz, r11, v3.z, r1
mad r8.xyz, r6, v3.z, r8
mad r4.xyz, r7, v3.z, r4
mul r9.x, v4.w, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
m3x3 r11.xyz, v1, c[a0.x + 20]
m3x3 r6.xyz, v5, c[a0.x + 20]
m3x3 r7.xyz, v6, c[a0.x + 20]
mad r0.xyz, r10, v3.w, r0
mad r1.xyz, r11, v3.w, r1
mad r8.xyz, r6, v3.w, r8
mad r4.xyz, r7, v3.w, r4
mov r0.w, c16.y
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
mul r5, r0.x, c4
mad r5, r0.y, c5, r5
mad r5, r0.z, c6, r5
add r5, r5, c7
mul r3.xyz, r1.x, c4
mad r3.xyz, r1.y, c5, r3
mad r3.xyz, r1.z, c6, r3
mul r6.xyz, r8.x, c4
mad r6.xyz, r8.y, c5, r6
mad r6.xyz, r8.z, c6, r6
mul r7.xyz, r4.x, c4
mad r7.xyz, r4.y, c5, r7
mad r7.xyz, r4.z, c6, r7
mov oT0, v2
mov oT1, v2
mov oT2.xyz, r6
mov oT5.xyz, r7
mov oT6.xyz, r3
add oT3.xyz, c13, -r5
add oT4.xyz, c15, -r5
